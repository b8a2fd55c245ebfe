// What marks the recording netsh stand-in (netsh_standin.rc): a resource of
// this number holding this text, which no real netsh.exe carries. The tests
// look for it in the system's netsh.exe before they let the program run a
// command.
#ifndef VANTORIC_TOOLS_NETSH_STANDIN_MARKER_H
#define VANTORIC_TOOLS_NETSH_STANDIN_MARKER_H

#define VANTORIC_NETSH_STANDIN_RESOURCE 4077
#define VANTORIC_NETSH_STANDIN_MARKER "Vantoric's recording netsh stand-in: it changes nothing"

#endif
