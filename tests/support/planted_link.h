// A Unix symbolic link planted for the length of a test and removed as a
// link, so that the temporary folders around it can go too.
#pragma once

#include <string>

#include "support/unix_link.h"

namespace mardonel {

class PlantedLink {
 public:
  PlantedLink() = default;
  ~PlantedLink() { Remove(); }
  PlantedLink(const PlantedLink&) = delete;
  PlantedLink& operator=(const PlantedLink&) = delete;

  // Makes `link` (in a folder that exists) a link to `target`.
  bool Plant(const std::string& target, const std::string& link) {
    Remove();
    if (PlantUnixLink(target, link)) link_ = link;
    return !link_.empty();
  }
  bool Remove() {
    const bool removed = link_.empty() || RemoveUnixLink(link_);
    link_.clear();
    return removed;
  }

 private:
  std::string link_;
};

}  // namespace mardonel
