// The computer's own addresses and its RAS connections.
#include <winsock2.h>

#include "platform/network.h"

std::vector<std::string> AddressesOf(const hostent& host) {
  std::vector<std::string> addresses;
  if (!host.h_addr_list) return addresses;
  for (char** entry = host.h_addr_list; *entry && addresses.size() < kMaxLocalAddresses; ++entry) {
    in_addr address;
    memcpy(&address, *entry, sizeof address);
    addresses.emplace_back(inet_ntoa(address));
  }
  return addresses;
}

std::vector<std::string> LocalAddresses() {
  char name[256];
  if (gethostname(name, sizeof name) != 0) return {};
  const hostent* host = gethostbyname(name);
  if (!host) return {};
  return AddressesOf(*host);
}

bool IsOnline(const RasCalls& ras) {
  std::vector<RASCONNA> connections(kRasConnectionRecords);
  connections[0].dwSize = sizeof(RASCONNA);
  DWORD bytes = DWORD(connections.size() * sizeof(RASCONNA));
  DWORD count = 0;
  if (ras.enumConnections(connections.data(), &bytes, &count) != ERROR_SUCCESS) return false;
  for (DWORD i = 0; i < count && i < kRasConnectionRecords; ++i) {
    RASCONNSTATUSA status{};
    status.dwSize = sizeof status;
    if (ras.getConnectStatus(connections[i].hrasconn, &status) == ERROR_SUCCESS &&
        status.rasconnstate == RASCS_Connected)
      return true;
  }
  return false;
}
