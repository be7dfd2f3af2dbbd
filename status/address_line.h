// The address line of the status line: the computer's local addresses and whether it is online.
#pragma once
#include <string>
#include <vector>

// Online: "  本机外网IP是：" address 2 "       本机内网IP是：" address 1. Offline:
// "本机外网IP为空，原因是：你未连接上网。本机内网IP是：" address 1. An address the list does not
// have leaves its place empty.
std::string AddressLine(const std::vector<std::string>& addresses, bool online);
