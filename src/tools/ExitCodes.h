#pragma once

#include "store/RegistryStore.h"

// The exit statuses of zelkar-reg and zelkar-open: one meaning per number in
// both tools, so that a script can tell them apart whichever it runs.
namespace zelkar::tools::exitcode {

enum : int {
  Success = 0,
  Failed = 1,        // not done: the target could not be started, a key with subkeys, another store fault
  NotFound = 2,      // no such keyword, key or value; a keyword whose target is broken
  Unreadable = 3,    // the store cannot be read: no rights, damaged, not a store
  Busy = 4,          // another program kept the store locked past its five-second busy timeout
  ReadOnly = 5,      // the store may not be written
  DiskFull = 6,      // no room left on the disk
  BadUsage = 64,     // a bad command line
  NotFoundHook = 127,  // zelkar-open --command-not-found: no keyword, the shell says so
};

// The status for a store that could not be opened.
inline int ForStoreError(const store::StoreError& error) {
  switch (error.kind()) {
    case store::StoreError::Kind::Busy:
      return Busy;
    case store::StoreError::Kind::DiskFull:
      return DiskFull;
    case store::StoreError::Kind::Damaged:
    case store::StoreError::Kind::Unreadable:
      return Unreadable;
  }
  return Unreadable;
}

}  // namespace zelkar::tools::exitcode
