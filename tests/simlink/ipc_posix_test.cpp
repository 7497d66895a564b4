#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "platform/clock.h"
#include "platform/ipc_posix.h"
#include "simlink/fake_server.h"
#include "simlink/sim_link.h"

namespace {

constexpr const char* kMessage = "FSASMLIB:IPC";

bool shmExists(const std::string& mappingName) {
  const int fd = ::shm_open(platform::shmNameFor(mappingName).c_str(), O_RDONLY, 0);
  if (fd < 0) return false;
  ::close(fd);
  return true;
}

std::string ownMappingName() {
  char name[64];
  std::snprintf(name, sizeof(name), "FSASMLIB:IPC:%X:1", static_cast<unsigned>(::getpid()));
  return name;
}

// The link over the real POSIX transport, with the server endpoint serving from its own
// thread in a private folder.
class PosixLinkTest : public ::testing::Test {
 public:
  void SetUp() override {
    char pattern[] = "/tmp/corvane-link-test-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    dir = pattern;
    server.handshake(0x19980005, 0xFADE0007);
    transport = std::make_unique<platform::PosixTransport>(dir);
    link.SimLinkConfigure(transport.get(), &clock);
  }
  void TearDown() override {
    link.SimLinkConfigure(nullptr, nullptr);
    transport.reset();
    endpoint.reset();
    ::rmdir(dir.c_str());
  }
  void startServer(const char* className = "UIPCMAIN") {
    endpoint = std::make_unique<platform::PosixServerEndpoint>(
        className, kMessage, [this](uint8_t* b, size_t n) { return server.handle(b, n); }, dir);
    ASSERT_TRUE(endpoint->start()) << endpoint->error();
  }
  uint32_t open() {
    uint32_t result = 99;
    link.SimLinkOpen(0, result);
    return result;
  }

  std::string dir;
  FakeServer server;
  platform::VirtualClock clock{0};
  std::unique_ptr<platform::PosixTransport> transport;
  simlink::Link link;
  std::unique_ptr<platform::PosixServerEndpoint> endpoint;
};

TEST_F(PosixLinkTest, RoundTripThroughSharedMemory) {
  startServer();
  ASSERT_EQ(open(), 0u);
  EXPECT_EQ(link.SimLinkSimIndex, 7u);
  EXPECT_EQ(server.libraryVersion, 1004);
  const double accel = -700.0;
  double back = 0;
  uint32_t result = 99;
  ASSERT_TRUE(link.SimLinkWrite(0x3070, 8, &accel, result));
  ASSERT_TRUE(link.SimLinkRead(0x3070, 8, &back, result));
  ASSERT_TRUE(link.SimLinkProcess(result));
  EXPECT_EQ(back, -700.0);
  EXPECT_EQ(endpoint->requestsServed(), 2u);
}

TEST_F(PosixLinkTest, RelayClassIsFoundWhenItIsTheOnlyServer) {
  startServer("FS98MAIN");
  server.handshake(0x19980004, 0xFADE0007);
  EXPECT_EQ(open(), 14u);
}

TEST_F(PosixLinkTest, NoServerSocketMeansNoServer) {
  EXPECT_EQ(open(), 2u);
  // A socket file left behind by a server that died is no server either.
  startServer();
  const std::string path = endpoint->socketPath();
  endpoint->stop();
  ::unlink(path.c_str());
  const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  std::strcpy(addr.sun_path, path.c_str());
  ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)), 0);
  ::close(fd);
  EXPECT_EQ(open(), 2u);
  ::unlink(path.c_str());
}

TEST_F(PosixLinkTest, ExistingSharedMemoryNameIsAMappingFailureAndIsLeftAlone) {
  startServer();
  const std::string name = platform::shmNameFor(ownMappingName());
  const int fd = ::shm_open(name.c_str(), O_CREAT | O_EXCL | O_RDWR, 0600);
  ASSERT_GE(fd, 0);
  EXPECT_EQ(open(), 5u);
  EXPECT_TRUE(shmExists(ownMappingName()));
  ::close(fd);
  ::shm_unlink(name.c_str());
}

TEST_F(PosixLinkTest, CloseRemovesTheSharedMemory) {
  startServer();
  ASSERT_EQ(open(), 0u);
  EXPECT_TRUE(shmExists(ownMappingName()));
  link.SimLinkClose();
  EXPECT_FALSE(shmExists(ownMappingName()));
}

TEST_F(PosixLinkTest, ServerGoneIsASendFailureWithLastError) {
  startServer();
  ASSERT_EQ(open(), 0u);
  endpoint.reset();
  uint32_t v = 0, result = 99;
  ASSERT_TRUE(link.SimLinkRead(0x3304, 4, &v, result));
  EXPECT_FALSE(link.SimLinkProcess(result));
  EXPECT_EQ(result, 12u);
  EXPECT_EQ(clock.nowMs(), 100 + 10 * 100);
  // The server is lost: a server that comes back is not sent to on the old link, and the open
  // right after the loss does not look for it; the next open does.
  startServer();
  ASSERT_TRUE(link.SimLinkRead(0x3304, 4, &v, result));
  EXPECT_FALSE(link.SimLinkProcess(result));
  EXPECT_EQ(result, 12u);
  EXPECT_EQ(clock.nowMs(), 100 + 10 * 100);
  link.SimLinkClose();
  EXPECT_EQ(open(), 2u);
  ASSERT_EQ(open(), 0u);
  ASSERT_TRUE(link.SimLinkRead(0x3304, 4, &v, result));
  EXPECT_TRUE(link.SimLinkProcess(result));
  EXPECT_EQ(v, 0x19980005u);
}

TEST_F(PosixLinkTest, LateAnswerIsATimeOutAndTheNextSendIsNotConfused) {
  std::atomic<int> delayMs{300};
  endpoint = std::make_unique<platform::PosixServerEndpoint>(
      "UIPCMAIN", kMessage,
      [&](uint8_t*, size_t) -> uint32_t {
        std::this_thread::sleep_for(std::chrono::milliseconds(delayMs.load()));
        return 1;
      },
      dir);
  ASSERT_TRUE(endpoint->start());
  platform::PosixTransport client(dir);
  const platform::IpcHandle window = client.findWindow("UIPCMAIN");
  ASSERT_NE(window, 0u);
  const uint32_t msg = client.registerWindowMessage(kMessage);
  bool existed = true;
  const platform::IpcHandle mapping = client.createMapping("LateAnswerTest", 0x8000, existed);
  ASSERT_NE(mapping, 0u);
  const uint16_t atom = client.addAtom("LateAnswerTest");
  uint32_t answer = 99;
  EXPECT_FALSE(client.sendMessageTimeout(window, msg, atom, 0, 20, answer));
  EXPECT_EQ(client.lastError(), 0u);
  delayMs = 0;
  answer = 99;
  EXPECT_TRUE(client.sendMessageTimeout(window, msg, atom, 0, 5000, answer));
  EXPECT_EQ(answer, 1u);
  client.closeMapping(mapping);
  EXPECT_FALSE(shmExists("LateAnswerTest"));
}

TEST_F(PosixLinkTest, BadRequestsAreAnsweredZero) {
  startServer();
  platform::PosixTransport client(dir);
  const platform::IpcHandle window = client.findWindow("UIPCMAIN");
  ASSERT_NE(window, 0u);
  const uint32_t msg = client.registerWindowMessage(kMessage);
  uint32_t answer = 99;
  // An atom naming no shared memory, an unknown atom, a foreign message id.
  const uint16_t atom = client.addAtom("NoSuchMapping");
  EXPECT_TRUE(client.sendMessageTimeout(window, msg, atom, 0, 2000, answer));
  EXPECT_EQ(answer, 0u);
  answer = 99;
  EXPECT_TRUE(client.sendMessageTimeout(window, msg, 0x1234, 0, 2000, answer));
  EXPECT_EQ(answer, 0u);
  answer = 99;
  EXPECT_TRUE(client.sendMessageTimeout(window, msg + 1, atom, 0, 2000, answer));
  EXPECT_EQ(answer, 0u);
  // A shared-memory object shorter than the block is never mapped.
  const std::string shortName = platform::shmNameFor("ShortMapping");
  const int fd = ::shm_open(shortName.c_str(), O_CREAT | O_EXCL | O_RDWR, 0600);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::ftruncate(fd, 16), 0);
  answer = 99;
  EXPECT_TRUE(
      client.sendMessageTimeout(window, msg, client.addAtom("ShortMapping"), 0, 2000, answer));
  EXPECT_EQ(answer, 0u);
  ::close(fd);
  ::shm_unlink(shortName.c_str());

  // Garbage on a raw connection is answered 0 and the server goes on serving.
  const int raw = ::socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  std::strcpy(addr.sun_path, endpoint->socketPath().c_str());
  ASSERT_EQ(::connect(raw, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)), 0);
  uint8_t garbage[32];
  std::memset(garbage, 0x5A, sizeof(garbage));
  ASSERT_EQ(::write(raw, garbage, sizeof(garbage)), static_cast<ssize_t>(sizeof(garbage)));
  uint32_t reply[2] = {0, 99};
  ASSERT_EQ(::read(raw, reply, sizeof(reply)), static_cast<ssize_t>(sizeof(reply)));
  EXPECT_EQ(reply[1], 0u);
  ::close(raw);
  answer = 99;
  EXPECT_TRUE(client.sendMessageTimeout(window, msg, atom, 0, 2000, answer));
  EXPECT_EQ(answer, 0u);
}

TEST_F(PosixLinkTest, SecondServerOfAClassIsRefusedAndSocketGoesWithTheServer) {
  startServer();
  platform::PosixServerEndpoint second("UIPCMAIN", kMessage, nullptr, dir);
  EXPECT_FALSE(second.listen());
  EXPECT_NE(second.error().find("already"), std::string::npos);
  const std::string path = endpoint->socketPath();
  endpoint.reset();
  EXPECT_NE(::access(path.c_str(), F_OK), 0);
  struct stat st {};
  ASSERT_EQ(::stat(dir.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 077, 0u);
}

TEST(IpcNamesTest, SharedMemoryNamesAndFolder) {
  EXPECT_EQ(platform::shmNameFor("FSASMLIB:IPC:1A2C:1"), "/FSASMLIB_IPC_1A2C_1");
  EXPECT_EQ(platform::shmNameFor("a/b c"), "/a_b_c");
  EXPECT_EQ(platform::ipcMessageId(kMessage), platform::ipcMessageId(std::string(kMessage)));
  EXPECT_GE(platform::ipcMessageId(kMessage), 0xC000u);
  ::setenv("CORVANE_IPC_DIR", "/tmp/x-ipc", 1);
  EXPECT_EQ(platform::ipcDirectory(), "/tmp/x-ipc");
  ::unsetenv("CORVANE_IPC_DIR");
}

}  // namespace
