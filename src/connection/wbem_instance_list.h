// The results of one WQL query, in the order the enumerator delivered them.
#pragma once

#include <windows.h>
#include <wbemcli.h>

#include <list>

#include "common/win/com_owners.h"
#include "wbem_instance.h"

namespace mardonel {

class CWbemInstanceList : public std::list<CWbemInstance> {
 public:
  // The list borrows the caller's holder, which must stay connected while
  // the list queries through it.
  explicit CWbemInstanceList(com_ptr<IWbemServices>& services) : services_(services) {}
  virtual ~CWbemInstanceList() { clear(); }
  CWbemInstanceList(const CWbemInstanceList&) = delete;
  CWbemInstanceList& operator=(const CWbemInstanceList&) = delete;

  // Appends every object the query returns. A failed query throws ComError;
  // a wait of more than kNextTimeout for the next object ends the
  // enumeration, keeping what came before.
  void Query(const wchar_t* wql, long flags);

  static constexpr long kNextTimeout = 10000;  // milliseconds

 private:
  com_ptr<IWbemServices>& services_;
};

}  // namespace mardonel
