// The local channel of the POSIX transport belongs to its user: the client talks only to a
// socket in a private folder, one server per class and folder, request blocks private and
// exclusive, and what a crash leaves behind is cleaned up by the next start.

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "platform/ipc_posix.h"

namespace {

namespace fs = std::filesystem;

struct ChannelDir {
  ChannelDir()
      : root(fs::temp_directory_path() / ("corvane_channel_" + std::to_string(getpid()))),
        ipc((root / "ipc").string()) {
    fs::remove_all(root);
    fs::create_directories(root);
  }
  ~ChannelDir() {
    std::error_code ec;
    fs::permissions(ipc, fs::perms::owner_all, ec);
    fs::remove_all(root, ec);
  }
  fs::path root;
  std::string ipc;
};

platform::PosixServerEndpoint answeringServer(const std::string& dir) {
  return platform::PosixServerEndpoint(
      "UIPCMAIN", "FSASMLIB:IPC", [](uint8_t*, size_t) -> uint32_t { return 1; }, dir);
}

bool shmExists(const std::string& name) { return fs::exists("/dev/shm" + name); }

}  // namespace

TEST(LocalChannel, ClientRefusesAServerOutsideAPrivateFolder) {
  ChannelDir d;
  auto server = answeringServer(d.ipc);
  ASSERT_TRUE(server.start()) << server.error();
  const std::string link = (d.root / "link").string();
  fs::create_directory_symlink(d.ipc, link);
  struct Case {
    const char* what;
    std::string dir;
    fs::perms mode;
  } cases[] = {
      {"folder others may enter", d.ipc,
       fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
           fs::perms::others_exec},
      {"folder reached through a link", link, fs::perms::owner_all},
  };
  for (const Case& c : cases) {
    fs::permissions(d.ipc, c.mode);
    platform::PosixTransport client(c.dir);
    EXPECT_EQ(client.findWindow("UIPCMAIN"), 0u) << c.what;
    EXPECT_NE(client.refusal().find("not a private folder"), std::string::npos) << c.what;
  }
  fs::permissions(d.ipc, fs::perms::owner_all);
  platform::PosixTransport client(d.ipc);
  const platform::IpcHandle window = client.findWindow("UIPCMAIN");
  ASSERT_NE(window, 0u);
  EXPECT_TRUE(client.refusal().empty());
  uint32_t answer = 0;
  EXPECT_TRUE(client.sendMessageTimeout(window, 1, 0, 0, 2000, answer));
  EXPECT_EQ(server.requestsServed(), 1u);  // the refused clients never reached it
}

TEST(LocalChannel, SecondServerIsRefusedAndTheFirstKeepsItsSocket) {
  ChannelDir d;
  auto first = answeringServer(d.ipc);
  ASSERT_TRUE(first.start()) << first.error();
  auto second = answeringServer(d.ipc);
  EXPECT_FALSE(second.listen());
  EXPECT_EQ(second.error(), "another server already serves UIPCMAIN in " + d.ipc);
  second.shutdown();  // must not remove the first server's socket
  platform::PosixTransport client(d.ipc);
  const platform::IpcHandle window = client.findWindow("UIPCMAIN");
  ASSERT_NE(window, 0u);
  uint32_t answer = 0;
  EXPECT_TRUE(client.sendMessageTimeout(window, 1, 0, 0, 2000, answer));
  EXPECT_EQ(first.requestsServed(), 1u);
}

TEST(LocalChannel, NextStartCleansWhatACrashLeft) {
  ChannelDir d;
  // A socket file nobody listens on, as a killed server leaves it.
  fs::create_directories(d.ipc);
  fs::permissions(d.ipc, fs::perms::owner_all);
  const std::string socketPath = d.ipc + "/UIPCMAIN";
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  std::strcpy(addr.sun_path, socketPath.c_str());
  const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
  ASSERT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)), 0);
  close(fd);
  ASSERT_TRUE(fs::exists(socketPath));

  // A request block of a client process that has ended, and one of a live one (this process).
  const pid_t child = fork();
  if (child == 0) _exit(0);
  waitpid(child, nullptr, 0);
  char dead[64], live[64];
  std::snprintf(dead, sizeof dead, "/FSASMLIB_IPC_%X_1", static_cast<unsigned>(child));
  std::snprintf(live, sizeof live, "/FSASMLIB_IPC_%X_7", static_cast<unsigned>(getpid()));
  for (const char* name : {dead, live}) close(shm_open(name, O_CREAT | O_RDWR, 0600));
  ASSERT_TRUE(shmExists(dead));

  auto server = answeringServer(d.ipc);
  ASSERT_TRUE(server.start()) << server.error();
  EXPECT_FALSE(shmExists(dead));
  EXPECT_TRUE(shmExists(live));
  platform::PosixTransport client(d.ipc);
  const platform::IpcHandle window = client.findWindow("UIPCMAIN");
  ASSERT_NE(window, 0u);
  uint32_t answer = 0;
  EXPECT_TRUE(client.sendMessageTimeout(window, 1, 0, 0, 2000, answer));
  shm_unlink(live);
}

TEST(LocalChannel, RequestBlocksArePrivateAndExclusive) {
  platform::PosixTransport client("/nonexistent");
  char name[64];
  std::snprintf(name, sizeof name, "FSASMLIB:IPC:%X:9", static_cast<unsigned>(getpid()));
  bool existed = true;
  const platform::IpcHandle mapping = client.createMapping(name, 0x8000, existed);
  ASSERT_NE(mapping, 0u);
  EXPECT_FALSE(existed);
  struct stat st {};
  ASSERT_EQ(stat(("/dev/shm" + platform::shmNameFor(name)).c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  platform::PosixTransport other("/nonexistent");
  EXPECT_EQ(other.createMapping(name, 0x8000, existed), 0u);
  EXPECT_TRUE(existed);
  client.closeMapping(mapping);
  EXPECT_FALSE(shmExists(platform::shmNameFor(name)));
}

TEST(LocalChannel, RequestAbandonedByATimedOutClientIsNeverServed) {
  ChannelDir d;
  int served = 0;
  platform::PosixServerEndpoint server(
      "UIPCMAIN", "FSASMLIB:IPC", [&served](uint8_t*, size_t) -> uint32_t { return ++served; },
      d.ipc);
  ASSERT_TRUE(server.listen()) << server.error();
  platform::PosixTransport client(d.ipc);
  const platform::IpcHandle window = client.findWindow("UIPCMAIN");
  ASSERT_NE(window, 0u);
  const uint32_t msgId = platform::ipcMessageId("FSASMLIB:IPC");
  const uint16_t atom = client.addAtom("FSASMLIB:IPC:1:1");
  bool existed = false;
  const platform::IpcHandle mapping = client.createMapping("FSASMLIB:IPC:1:1", 0x8000, existed);
  ASSERT_NE(mapping, 0u);
  uint32_t answer = 0;
  // The server is stopped: two attempts time out and are abandoned.
  for (int attempt = 0; attempt < 2; ++attempt) {
    EXPECT_FALSE(client.sendMessageTimeout(window, msgId, atom, 0, 50, answer));
    EXPECT_EQ(client.lastError(), 0u);
  }
  // Resumed, it finds both requests waiting and must apply neither.
  for (int i = 0; i < 5; ++i) server.pollOnce(20);
  EXPECT_EQ(served, 0);
  ASSERT_TRUE(server.start());
  EXPECT_TRUE(client.sendMessageTimeout(window, msgId, atom, 0, 2000, answer));
  EXPECT_EQ(served, 1);
  client.closeMapping(mapping);
}
