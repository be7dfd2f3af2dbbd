// The computer's own IPv4 addresses (Windows Sockets 1.0) and the state of its dial-up style
// connections (Remote Access Service).
#pragma once
#include <windows.h>
#include <ras.h>

#include <string>
#include <vector>

struct hostent;

inline constexpr size_t kMaxLocalAddresses = 10;
inline constexpr DWORD kRasConnectionRecords = 38;

// The addresses of a host entry in dotted-decimal form, in the resolver's order, at most the first
// kMaxLocalAddresses.
std::vector<std::string> AddressesOf(const hostent& host);

// The addresses of the computer's own host name; empty when the name or its entry cannot be had.
std::vector<std::string> LocalAddresses();

// The two RAS calls IsOnline makes; tests pass their own to play connections.
struct RasCalls {
  DWORD(WINAPI* enumConnections)(LPRASCONNA, LPDWORD, LPDWORD) = RasEnumConnectionsA;
  DWORD(WINAPI* getConnectStatus)(HRASCONN, LPRASCONNSTATUSA) = RasGetConnectStatusA;
};

// True when one of the RAS connections (at most kRasConnectionRecords of them) is connected.
// An ordinary network adapter is not a RAS connection.
bool IsOnline(const RasCalls& ras = {});
