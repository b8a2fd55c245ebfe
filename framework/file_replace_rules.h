// What a replace of a file that failed part way left on disk, and what may
// still be cleaned up, so that neither the old file nor the new text is
// lost and the user learns where each is. No windows.h: built natively and
// for Windows.
#pragma once

#include <string>
#include <string_view>

namespace vantoric {

// The three files of a replace (framework/file_write.h): the file replaced,
// the backup that the old file is moved to on the way, and the new text's
// temporary file beside them; and whether each is there now.
struct CReplaceFiles {
  std::string_view m_path;
  bool m_bPath = false;
  std::string_view m_backup;
  bool m_bBackup = false;
  std::string_view m_temp;
  bool m_bTemp = false;
};

struct CReplaceAftermath {
  // Only when the old file is still in its place, untouched: the temporary
  // file then holds nothing that is not still in the caller's hands.
  bool m_bDeleteTemp = false;
  // Where each file is, for the user; sentences, empty when nothing is there.
  std::string m_strText;
};

// The old file moved to the backup stays there and the temporary file is
// kept; each is named. An old file still in its place is named as it was.
inline CReplaceAftermath DescribeFailedReplace(const CReplaceFiles& files) {
  const auto quoted = [](std::string_view name) { return "\"" + std::string(name) + "\""; };
  CReplaceAftermath after;
  after.m_bDeleteTemp = files.m_bPath && !files.m_bBackup && files.m_bTemp;
  std::string& text = after.m_strText;
  const auto add = [&](const std::string& sentence) { text += (text.empty() ? "" : " ") + sentence; };
  if (after.m_bDeleteTemp) {
    add(quoted(files.m_path) + " is as it was.");
    return after;
  }
  if (files.m_bBackup) add("The old file is now " + quoted(files.m_backup) + ".");
  if (files.m_bTemp) add("The new text is in " + quoted(files.m_temp) + ".");
  if (files.m_bPath && files.m_bBackup && !files.m_bTemp) add(quoted(files.m_path) + " holds the new text.");
  if (!files.m_bPath) add("Nothing is at " + quoted(files.m_path) + " now.");
  return after;
}

}  // namespace vantoric
