// The address line: its two forms and their blanks, the host entry's addresses cut at ten, and
// IsOnline over RAS calls that the test plays.
#include <winsock2.h>

#include <gtest/gtest.h>
#include <raserror.h>

#include <vector>

#include "platform/network.h"
#include "status/address_line.h"

namespace {

const std::string kOffline = "本机外网IP为空，原因是：你未连接上网。本机内网IP是：";

struct LineCase {
  const char* name;
  std::vector<std::string> addresses;
  bool online;
  std::string line;
};

TEST(AddressLine, TakesItsFormFromTheStateAndItsAddressesFromTheList) {
  const LineCase cases[] = {
      {"offline, one address", {"192.168.0.5"}, false, kOffline + "192.168.0.5"},
      {"offline, several", {"10.0.0.2", "172.16.1.9", "192.168.1.1"}, false, kOffline + "10.0.0.2"},
      {"online, two",
       {"192.168.0.5", "58.61.2.200"},
       true,
       "  本机外网IP是：58.61.2.200       本机内网IP是：192.168.0.5"},
      {"online, three",
       {"10.1.1.1", "10.2.2.2", "10.3.3.3"},
       true,
       "  本机外网IP是：10.2.2.2       本机内网IP是：10.1.1.1"},
      {"offline, empty list", {}, false, kOffline},
      {"online, one address",
       {"192.168.0.5"},
       true,
       "  本机外网IP是：       本机内网IP是：192.168.0.5"},
      {"online, empty list", {}, true, "  本机外网IP是：       本机内网IP是："},
  };
  for (const LineCase& c : cases) EXPECT_EQ(AddressLine(c.addresses, c.online), c.line) << c.name;
}

// A host entry as gethostbyname gives it, with `count` IPv4 addresses 10.0.0.1, 10.0.0.2, ...
struct HostEntry {
  explicit HostEntry(int count) : addresses(count) {
    for (int i = 0; i < count; ++i) {
      addresses[i].s_addr = htonl(0x0A000000u + unsigned(i) + 1);
      list.push_back(reinterpret_cast<char*>(&addresses[i]));
    }
    list.push_back(nullptr);
    entry.h_addrtype = AF_INET;
    entry.h_length = sizeof(in_addr);
    entry.h_addr_list = list.data();
  }
  std::vector<in_addr> addresses;
  std::vector<char*> list;
  hostent entry{};
};

TEST(LocalAddresses, AreTheHostEntrysAddressesInOrderAtMostTen) {
  for (int count : {0, 1, 3, 10, 12}) {
    HostEntry host(count);
    std::vector<std::string> expected;
    for (int i = 1; i <= std::min(count, 10); ++i)
      expected.push_back("10.0.0." + std::to_string(i));
    EXPECT_EQ(AddressesOf(host.entry), expected) << count;
  }
}

TEST(LocalAddresses, AreEmptyWithoutWindowsSockets) {
  // Nothing started Windows Sockets in this process, so the host name cannot be had.
  EXPECT_TRUE(LocalAddresses().empty());
}

// ---- IsOnline over played RAS connections ---------------------------------------------------

struct PlayedRas {
  DWORD enumResult = ERROR_SUCCESS;
  std::vector<RASCONNSTATE> states;  // one per connection
  DWORD statusResult = ERROR_SUCCESS;
  // What IsOnline handed over.
  DWORD bufferBytes = 0;
  DWORD firstRecordSize = 0;
  std::vector<HRASCONN> asked;
  std::vector<DWORD> statusSizes;
};
PlayedRas played;

HRASCONN HandleOf(size_t index) {
  return reinterpret_cast<HRASCONN>(0x100 + index);
}

DWORD WINAPI PlayedEnumConnections(LPRASCONNA connections, LPDWORD bytes, LPDWORD count) {
  played.bufferBytes = *bytes;
  played.firstRecordSize = connections[0].dwSize;
  *count = DWORD(played.states.size());
  if (played.enumResult != ERROR_SUCCESS) return played.enumResult;
  for (size_t i = 0; i < played.states.size(); ++i) connections[i].hrasconn = HandleOf(i);
  return ERROR_SUCCESS;
}

DWORD WINAPI PlayedConnectStatus(HRASCONN connection, LPRASCONNSTATUSA status) {
  played.asked.push_back(connection);
  played.statusSizes.push_back(status->dwSize);
  size_t index = size_t(reinterpret_cast<UINT_PTR>(connection) - 0x100);
  status->rasconnstate = played.states.at(index);
  return played.statusResult;
}

struct OnlineCase {
  const char* name;
  DWORD enumResult;
  std::vector<RASCONNSTATE> states;
  DWORD statusResult;
  bool online;
  size_t statusCalls;
};

TEST(IsOnline, IsTrueOnlyForAConnectedRasConnection) {
  const OnlineCase cases[] = {
      {"no connection", ERROR_SUCCESS, {}, ERROR_SUCCESS, false, 0},
      {"one connected", ERROR_SUCCESS, {RASCS_Connected}, ERROR_SUCCESS, true, 1},
      {"dialling then connected, the walk stops there",
       ERROR_SUCCESS,
       {RASCS_ConnectDevice, RASCS_Connected, RASCS_Connected},
       ERROR_SUCCESS,
       true,
       2},
      {"still authenticating", ERROR_SUCCESS, {RASCS_Authenticate}, ERROR_SUCCESS, false, 1},
      {"disconnected and dialling",
       ERROR_SUCCESS,
       {RASCS_Disconnected, RASCS_OpenPort},
       ERROR_SUCCESS,
       false,
       2},
      {"status call fails", ERROR_SUCCESS, {RASCS_Connected}, ERROR_INVALID_HANDLE, false, 1},
      {"more connections than the buffer holds", ERROR_BUFFER_TOO_SMALL,
       std::vector<RASCONNSTATE>(40, RASCS_Connected), ERROR_SUCCESS, false, 0},
  };
  for (const OnlineCase& c : cases) {
    played = PlayedRas{};
    played.enumResult = c.enumResult;
    played.states = c.states;
    played.statusResult = c.statusResult;
    EXPECT_EQ(IsOnline({PlayedEnumConnections, PlayedConnectStatus}), c.online) << c.name;
    EXPECT_EQ(played.asked.size(), c.statusCalls) << c.name;
    for (size_t i = 0; i < played.asked.size(); ++i) EXPECT_EQ(played.asked[i], HandleOf(i));
    EXPECT_EQ(played.bufferBytes, kRasConnectionRecords * sizeof(RASCONNA)) << c.name;
    EXPECT_EQ(played.firstRecordSize, sizeof(RASCONNA)) << c.name;
    for (DWORD size : played.statusSizes) EXPECT_EQ(size, sizeof(RASCONNSTATUSA)) << c.name;
  }
}

TEST(IsOnline, AComputerWithoutDialUpConnectionsIsOffline) {
  EXPECT_FALSE(IsOnline());
}

}  // namespace
