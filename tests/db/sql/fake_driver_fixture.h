// A test fixture over the test driver library: a connection set up like the window's, pointed at
// the fake library, and the library's control functions.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "base/exceptions.h"
#include "db/driver/dynamic_library.h"
#include "db/sql/sql_connection.h"
#include "tests/db/fake_driver/fake_driver_control.h"

class FakeDriverTest : public ::testing::Test {
 protected:
  FakeDriverTest();

  // The stored lines of the window's connection, with a typed password.
  static std::vector<std::string> StoredLines();
  // The logged calls, one per element.
  std::vector<std::string> Log() const;
  // The logged calls beginning with `prefix`.
  std::vector<std::string> LogLines(const std::string& prefix) const;
  // The message of the EDatabaseError `action` raises; fails the test when nothing is raised.
  template <typename F>
  static std::string ErrorOf(F action) {
    try {
      action();
    } catch (const EDatabaseError& e) {
      return e.what();
    }
    ADD_FAILURE() << "no database error raised";
    return {};
  }

  std::unique_ptr<DynamicLibrary> library_;
  FakeResetFn reset_ = nullptr;
  FakeFailFn fail_ = nullptr;
  FakeSetIntOptionFn setIntOption_ = nullptr;
  FakeAddColumnFn addColumn_ = nullptr;
  FakeSetRowsFn setRows_ = nullptr;
  FakeSetRowsAffectedFn setRowsAffected_ = nullptr;
  FakeQueueRowsAffectedFn queueRowsAffected_ = nullptr;
  FakeLogFn log_ = nullptr;
  TSQLConnection connection_;
};
