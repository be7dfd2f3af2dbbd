// The address line in its online and offline forms.
#include "status/address_line.h"

namespace {

// Elements count from 1; a list too short for the form gives an empty place.
std::string Element(const std::vector<std::string>& addresses, size_t number) {
  return number <= addresses.size() ? addresses[number - 1] : std::string();
}

}  // namespace

std::string AddressLine(const std::vector<std::string>& addresses, bool online) {
  if (online)
    return "  本机外网IP是：" + Element(addresses, 2) + "       本机内网IP是：" +
           Element(addresses, 1);
  return "本机外网IP为空，原因是：你未连接上网。本机内网IP是：" + Element(addresses, 1);
}
