// A save whose database server dies under it: the server (a private instance on a loopback port
// of its own, started and killed by the test) is killed while the save waits on a row another
// attachment has locked. The row fails with the client library's message, the program goes on,
// and once the server is back the table holds what it held before and the same save goes
// through.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <thread>

#include "base/exceptions.h"
#include "tests/data/resolver/window_save.h"

namespace {

using resolvertest::WindowSave;
namespace fs = std::filesystem;

// A loopback port nobody listens on right now.
int FreePort() {
  const int s = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t size = sizeof a;
  if (s < 0 || bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 ||
      getsockname(s, reinterpret_cast<sockaddr*>(&a), &size) != 0) {
    throw std::runtime_error("no free port");
  }
  close(s);
  return ntohs(a.sin_port);
}

// A Firebird server of this test alone, in a folder of its own (scripts/fbserver.sh).
class PrivateServer {
 public:
  PrivateServer() : port_(FreePort()) {
    char pattern[] = "/tmp/talvora-killed-server-XXXXXX";
    if (mkdtemp(pattern) == nullptr) throw std::runtime_error("no temporary folder");
    root_ = pattern;
    Run("start");
  }
  ~PrivateServer() { Run("stop"); }

  std::string Location(const std::string& path) const {
    return "127.0.0.1/" + std::to_string(port_) + ":" + path;
  }
  void Kill() {
    std::ifstream file(root_ + "/pid");
    pid_t pid = 0;
    file >> pid;
    ASSERT_GT(pid, 0);
    ASSERT_EQ(kill(pid, SIGKILL), 0);
    // The script would end whatever process has that number later: it is ours no more.
    fs::remove(root_ + "/pid");
  }
  void Start() { Run("start"); }

 private:
  void Run(const char* what) {
    const std::string command = "TALVORA_FBSERVER_ROOT='" + root_ + "' '" FBSERVER_SCRIPT "' " +
                                what + " " + std::to_string(port_) + " >/dev/null";
    if (std::system(command.c_str()) != 0) {
      throw std::runtime_error(std::string("the private server did not ") + what);
    }
  }

  int port_;
  std::string root_;
};

// Whether some attachment's update statement is running (waiting on a lock, here).
bool AnUpdateIsRunning(TSQLConnection& watcher) {
  std::vector<ColumnValue> row;
  watcher.SelectFirstRow(
      "select count(*) from MON$STATEMENTS where MON$STATE = 1 and MON$SQL_TEXT starting with "
      "'update'",
      {}, row);
  std::int64_t count = 0;
  if (row.size() == 1 && !row[0].IsNull()) std::memcpy(&count, row[0].Data(), sizeof count);
  return count > 0;
}

TEST(SaveServerKill, AServerKilledWhileTheSaveWaitsLosesNothing) {
  PrivateServer server;
  WindowSave w(
      "INSERT INTO AJUSTE_CIERRE VALUES (1, '2026-10-01', '2026-10-31', 19, 0.8);"
      "INSERT INTO AJUSTE_CIERRE VALUES (2, '2026-10-01', '2026-10-31', 5, 0.8);"
      "INSERT INTO AJUSTE_CIERRE VALUES (3, '2026-10-01', '2026-10-31', 0, 0.8);",
      [&server](const std::string& path) { return server.Location(path); });
  const std::string location = server.Location(w.Database().Path());
  w.Open();
  w.SetFactor(1, "0.91");
  w.SetFactor(2, "0.92");
  w.SetFactor(3, "0.93");
  const std::vector<std::string> before = w.Table();
  const std::string delta = w.Delta();

  // Another user holds row 2, so the save waits at its second statement.
  auto locker = std::make_unique<resolvertest::OtherUser>(location);
  locker->Connection().StartTransaction();
  locker->Connection().ExecuteDirect("update AJUSTE_CIERRE set AJCI_PORC = 16 where AJCI_ID = 2");
  std::atomic<bool> killed = false;
  std::thread killer([&] {
    auto watcher = std::make_unique<resolvertest::OtherUser>(location);
    for (int i = 0; i < 200 && !AnUpdateIsRunning(watcher->Connection()); ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    EXPECT_EQ(w.SentStatements().size(), 2u) << "the save does not wait on row 2";
    server.Kill();
    killed = true;
    watcher.reset();
  });
  // The window's handler shows the row's failure and answers abort.
  std::vector<std::string> reported;
  w.PAjuste().OnUpdateError = [&](TDataSetProvider*, TDataSet*, EUpdateError& e, TUpdateKind,
                                  TResolverResponse& response) {
    reported.push_back(e.Message());
    response = TResolverResponse::rrAbort;
  };
  int errors = -1;
  EXPECT_NO_THROW(errors = w.CAjuste().ApplyUpdates(0));
  killer.join();
  ASSERT_TRUE(killed);
  // The waiting row fails with the client library's text, the save counts it, and the program
  // and the change log go on as they were.
  EXPECT_EQ(errors, 1);
  EXPECT_EQ(reported,
            std::vector<std::string>{"SQL Server Error: Error reading data from the connection."});
  EXPECT_EQ(w.Delta(), delta);
  EXPECT_EQ(w.CAjuste().ChangeCount(), 3);
  locker.reset();

  server.Start();
  w.Reconnect();
  EXPECT_EQ(w.Table(), before);
  w.ForgetSent();
  EXPECT_EQ(w.CAjuste().ApplyUpdates(0), 0);
  EXPECT_EQ(w.SentStatements().size(), 3u);
  EXPECT_EQ(w.Table(), (std::vector<std::string>{"1 01/10/2026 31/10/2026 19 0.91",
                                                 "2 01/10/2026 31/10/2026 5 0.92",
                                                 "3 01/10/2026 31/10/2026 0 0.93"}));
  EXPECT_EQ(w.CAjuste().ChangeCount(), 0);
}

}  // namespace
