// The adapter snapshot on Windows: reads the OS's adapter-address list into
// plain adapter data and fills the records from it.
#pragma once

#include <winsock2.h>
#include <ws2tcpip.h>
#include <iphlpapi.h>

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "core/adapter_records.h"

namespace vantoric {

// One adapter of the list as the snapshot reads it: the layout of Windows
// 6 and later whatever version the program is built for. Windows 5.2 writes
// the shorter original layout, which the fields read share (checked where
// they are read).
using AdapterAddresses = IP_ADAPTER_ADDRESSES_LH;

// The source of the adapter-address list, shaped like GetAdaptersAddresses.
// It is the one seam of the snapshot: tests install a source that hands
// synthetic lists.
using AdapterAddressesFn = ULONG(WINAPI*)(ULONG family, ULONG flags, PVOID reserved, AdapterAddresses* buffer,
                                          PULONG size);

// nullptr restores the OS's GetAdaptersAddresses.
void SetAdapterAddressesSource(AdapterAddressesFn fn);

// Frees an adapter list taken from the process heap.
struct CAdapterListFree {
  void operator()(AdapterAddresses* p) const { ::HeapFree(::GetProcessHeap(), 0, p); }
};

// The size that Windows' documentation of GetAdaptersAddresses advises for
// a first query: the list of most machines fits, so that a reading that
// starts from it asks once, and for the size only when the list is larger.
constexpr ULONG USUAL_LIST_SIZE = 15 * 1024;

// One reading of the OS's adapter list, serving the two calls of one
// snapshot. The window that takes snapshots again and again keeps one
// reading for them all: what the last one read carries over.
class CAdapterReading {
 public:
  // Takes a snapshot. Called twice: first with capacity 0 (records may be
  // nullptr) to learn the count in needed (ERROR_INSUFFICIENT_BUFFER, 122,
  // means adapters exist; 0 means there are none), then with that many
  // records to fill them, the first Ethernet adapter first; one friendly
  // name per record is appended to names. Returns 122 when capacity is below
  // the count (nothing filled or appended), otherwise 0 (also when the list
  // could not be read: needed is then 0 and GetError tells why). The list a
  // call answers with 122 is kept for the next call with records, which
  // fills from it: the records are the adapters that were counted. A call
  // with capacity 0 always reads the OS's list anew.
  DWORD EnumerateAdapters(CAdapterRecord* records, std::size_t capacity, std::size_t& needed,
                          std::vector<std::string>& names);

  // Why the last call could not read the list (the OS's error code; the list
  // growing at every attempt gives ERROR_BUFFER_OVERFLOW); 0 when it was
  // read, also when it was empty.
  DWORD GetError() const { return m_nError; }

  // The bytes that held the last list read. While it is above 0, the next
  // snapshot asks for the list into that many bytes at once, without the
  // size question, as long as it still fits: a reading taken again and
  // again makes one query. SetListSize(0) asks for the size first.
  ULONG GetListSize() const { return m_nListSize; }
  void SetListSize(ULONG size) { m_nListSize = size; }

  // Brings the records that this reading's last snapshot filled up to date
  // from one query of the OS's list, in place, when that is all a new
  // snapshot would change: the list has the same adapters with the same
  // addresses and DNS servers, and the records still hold the addresses and
  // servers they were filled with. Only the origins, states and lifetimes
  // of addresses change then. False (nothing changed) when a whole snapshot
  // is needed, also when the list could not be read.
  bool UpdateRecords(CAdapterRecord* records, std::size_t count);

 private:
  // What the last snapshot read of one address and one adapter, in the
  // OS's terms.
  struct CAddressPrint {
    std::string m_address;       // the socket address's bytes
    CUnicastAddressData m_facts;  // origins, state and lifetimes (no host text)
    int m_nListed = -1;           // its index among the record's addresses, or -1
  };
  struct CAdapterPrint {
    std::wstring m_strFriendlyName;
    std::wstring m_strDescription;
    std::string m_mac;
    IFTYPE m_nIfType = 0;
    std::vector<std::string> m_dnsAddresses;  // the socket addresses' bytes
    std::vector<CAddressPrint> m_addresses;
    std::size_t m_nRecord = 0;
    std::vector<std::string> m_listedHosts;  // the record's addresses as filled
    std::vector<std::string> m_dnsServers;   // the record's servers as filled
  };
  void Remember(const AdapterAddresses* list, const std::vector<CAdapterData>& adapters,
                const CAdapterRecord* records);
  bool StillMatches(const AdapterAddresses* list, const CAdapterRecord* records) const;

  std::unique_ptr<AdapterAddresses, CAdapterListFree> m_countedList;
  DWORD m_nError = 0;
  ULONG m_nListSize = 0;
  std::vector<CAdapterPrint> m_prints;
  const CAdapterRecord* m_pFilled = nullptr;
};

// A whole snapshot as the windows take it: the count, that many records,
// and the fill, from one reading. Returns 0 with the records and names (none
// on a machine without adapters), or the reason the list could not be read;
// on failure the arguments are left as they were. The first form takes a
// reading of its own; the second goes on from what `reading` kept.
DWORD TakeAdapterSnapshot(std::unique_ptr<CAdapterRecord[]>& records, std::size_t& count,
                          std::vector<std::string>& names);
DWORD TakeAdapterSnapshot(CAdapterReading& reading, std::unique_ptr<CAdapterRecord[]>& records, std::size_t& count,
                          std::vector<std::string>& names);

// The plain data of every adapter of a list, in list order. Starts the socket
// library once; when it cannot start, each adapter keeps only its names and
// MAC.
std::vector<CAdapterData> ReadAdapterList(const AdapterAddresses* list);

}  // namespace vantoric
