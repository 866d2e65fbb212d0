// SPDX-License-Identifier: GPL-3.0-or-later
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "sim/KeyboardSimulator.h"
#include "sim/SimControl.h"
#include "sim/SimOptions.h"
#include "sim/SimSession.h"
#include "sim/SimTrace.h"
#include "storage/TextFile.h"
#include "tests/device/DeviceTestSupport.h"

namespace lumbra {
namespace {

using test::Bytes;

struct Opened {
    std::shared_ptr<KeyboardSimulator> sim = std::make_shared<KeyboardSimulator>();
    std::unique_ptr<HidHandle> config = sim->OpenPath(KeyboardSimulator::kConfigPath);
    std::unique_ptr<HidHandle> events = sim->OpenPath(KeyboardSimulator::kEventsPath);

    bool Set(const std::string& hex) {
        const std::vector<uint8_t> r = Bytes(hex);
        return config->SendFeatureReport(r);
    }
    std::optional<std::vector<uint8_t>> Get(uint8_t id, size_t length) {
        std::vector<uint8_t> b(length, 0);
        b[0] = id;
        if (!config->GetFeatureReport(b)) return std::nullopt;
        return b;
    }
};

bool WaitUntil(const std::function<bool()>& condition) {
    for (int i = 0; i < 5000 && !condition(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    return condition();
}

TEST(KeyboardSimulator, ShowsTwoInterfacesOfTheKeyboard) {
    KeyboardSimulator sim;
    const std::vector<HidInterfaceInfo> list = sim.Enumerate();
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].vendorId, 0x04F3);
    EXPECT_EQ(list[0].productId, 0x1406);
    EXPECT_EQ(list[0].usagePage, 0x000A);
    EXPECT_GE(list[0].inputReportLength, 3u);
    EXPECT_EQ(list[1].usagePage, 0x000B);
    EXPECT_EQ(sim.OpenPath("/dev/hidraw0"), nullptr);
}

TEST(KeyboardSimulator, StoresWhatSetsCarryPerProfileAndGKey) {
    Opened k;
    std::vector<uint8_t> table(184, 0);
    table[0] = 0x06;
    table[1] = 0xB8;
    table[2] = 0x01;
    table[8] = 0x29;
    table[168] = 0x07;
    ASSERT_TRUE(k.config->SendFeatureReport(table));
    ASSERT_TRUE(k.Set("07 0D 01 00 03 18"));
    std::vector<uint8_t> macro(226, 0);
    macro[0] = 0x08;
    macro[1] = 0xE2;
    macro[2] = 0x01;
    macro[3] = 0x02;
    macro[8] = 'M';
    macro[33] = 1;
    macro[34] = 0x04;
    ASSERT_TRUE(k.config->SendFeatureReport(macro));
    ASSERT_TRUE(k.Set("05 03 02"));

    ASSERT_TRUE(k.Set("04 01 02"));
    EXPECT_EQ(*k.Get(0x06, 184), table);
    EXPECT_EQ(*k.Get(0x07, 6), Bytes("07 0D 01 00 03 18"));
    EXPECT_EQ(*k.Get(0x08, 226), macro);
    EXPECT_EQ(*k.Get(0x05, 3), Bytes("05 03 02"));
    ASSERT_TRUE(k.Set("04 00 02"));
    EXPECT_EQ(*k.Get(0x07, 6), Bytes("07 0D 00 00 01 08"));

    // The goodbye at shutdown is accepted and changes nothing.
    EXPECT_TRUE(k.Set("05 03 07"));
    EXPECT_EQ(k.sim->State().currentProfile, 2);

    // A reset returns that profile alone to the factory.
    ASSERT_TRUE(k.Set("0D 04 01 03"));
    EXPECT_EQ(k.sim->State().profiles[1], SimProfileState::Factory());
    EXPECT_EQ(k.sim->State().currentProfile, 2);
}

TEST(KeyboardSimulator, ReportsOfTheWrongIdOrLengthFail) {
    Opened k;
    EXPECT_FALSE(k.Set("09 00 00"));
    EXPECT_FALSE(k.Set("04 00"));
    EXPECT_FALSE(k.Set("04 03 00"));  // no fourth profile
    EXPECT_FALSE(k.Set("04 00 05"));  // no sixth G key
    EXPECT_FALSE(k.Set("07 0D 00 00 01"));
    EXPECT_FALSE(k.Set("0D 04 03 03"));
    EXPECT_FALSE(k.Get(0x05, 4));
    EXPECT_FALSE(k.Get(0x06, 183));
    EXPECT_FALSE(k.Get(0x04, 3));
    EXPECT_FALSE(k.Get(0x0D, 4));
    EXPECT_FALSE(k.events->SendFeatureReport(Bytes("05 03 01")));
    EXPECT_EQ(k.sim->State(), SimKeyboardState::Factory());
}

TEST(KeyboardSimulator, UnplugFailsHandlesAndThePendingReadAndIsAnnounced) {
    Opened k;
    std::vector<DeviceChange> changes;
    k.sim->SetChangeSink([&](DeviceChange c) { changes.push_back(c); });
    std::atomic<int> readResult{1};
    std::thread reader([&] {
        std::vector<uint8_t> b(8);
        readResult = k.events->Read(b);
    });
    ASSERT_TRUE(WaitUntil([&] { return k.sim->OpenReaders() == 1; }));
    k.sim->Unplug();
    reader.join();
    EXPECT_EQ(readResult, -1);
    EXPECT_FALSE(k.Set("05 03 01"));
    EXPECT_TRUE(k.sim->Enumerate().empty());
    EXPECT_EQ(k.sim->OpenPath(KeyboardSimulator::kConfigPath), nullptr);

    k.sim->Plug();
    EXPECT_FALSE(k.Set("05 03 01"));  // the old handle stays dead
    auto fresh = k.sim->OpenPath(KeyboardSimulator::kConfigPath);
    ASSERT_NE(fresh, nullptr);
    EXPECT_TRUE(fresh->SendFeatureReport(Bytes("05 03 01")));
    const std::vector<DeviceChange> expected = {DeviceChange::kRemoveComplete,
                                                DeviceChange::kRemoveComplete,
                                                DeviceChange::kArrival, DeviceChange::kArrival};
    EXPECT_EQ(changes, expected);
}

TEST(KeyboardSimulator, InjectedFailuresCountDownAndChangeNothing) {
    Opened k;
    k.sim->FailNext(SimFault::kSet, 2);
    EXPECT_FALSE(k.Set("05 03 01"));
    EXPECT_FALSE(k.Set("05 03 01"));
    EXPECT_EQ(k.sim->State().currentProfile, 0);
    EXPECT_TRUE(k.Set("05 03 01"));
    k.sim->FailNext(SimFault::kGet, 1);
    EXPECT_FALSE(k.Get(0x05, 3));
    EXPECT_TRUE(k.Get(0x05, 3));

    std::atomic<int> readResult{1};
    std::thread reader([&] {
        std::vector<uint8_t> b(8);
        readResult = k.events->Read(b);
    });
    ASSERT_TRUE(WaitUntil([&] { return k.sim->OpenReaders() == 1; }));
    k.sim->FailNext(SimFault::kRead, 1);  // wakes the blocked read
    reader.join();
    EXPECT_EQ(readResult, -1);
    k.sim->SendEvent(0x03, 0);
    std::vector<uint8_t> b(8, 0xEE);
    EXPECT_EQ(k.events->Read(b), 8);
    EXPECT_EQ(b, Bytes("01 03 00 00 00 00 00 00"));
}

TEST(KeyboardSimulator, OwnEventsChangeItsStateBeforeTheyAreSent) {
    Opened k;
    k.sim->SendEvent(0x05, 2);
    EXPECT_EQ(k.sim->State().currentProfile, 1);
    k.sim->SendEvent(0x02, 3);
    EXPECT_EQ(k.sim->State().profiles[1].mode, 3);
    k.sim->SendEvent(0x06, 1);
    EXPECT_EQ(k.sim->State().profiles[1].brightness, 24);
    EXPECT_EQ(k.sim->State().profiles[1].mode, 3);
    k.sim->SendEvent(0x06, 0);
    EXPECT_EQ(k.sim->State().profiles[1].mode, 1);
    EXPECT_EQ(k.sim->State().profiles[1].brightness, 8);
    k.sim->SendEvent(0x07, 2);
    EXPECT_EQ(k.sim->State().profiles[1].brightness, 2);
    k.sim->SendEvent(0x05, 9);  // no such profile
    EXPECT_EQ(k.sim->State().currentProfile, 1);
    std::vector<uint8_t> b(8);
    for (int i = 0; i < 6; ++i) ASSERT_EQ(k.events->Read(b), 8);
    EXPECT_EQ(b, Bytes("01 05 09 00 00 00 00 00"));
}

TEST(KeyboardSimulator, StateFileBringsBackTheKeyboardAsItWasLeft) {
    test::TempDir dir;
    const std::string file = dir.path + "config/kb.state";
    {
        KeyboardSimulator sim(file);
        auto config = sim.OpenPath(KeyboardSimulator::kConfigPath);
        ASSERT_TRUE(config->SendFeatureReport(Bytes("07 0D 02 00 06 02")));
        ASSERT_TRUE(config->SendFeatureReport(Bytes("05 03 02")));
        sim.SendEvent(0x07, 4);
    }
    KeyboardSimulator again(file);
    EXPECT_EQ(again.State().currentProfile, 2);
    EXPECT_EQ(again.State().profiles[2].mode, 6);
    EXPECT_EQ(again.State().profiles[2].brightness, 4);

    ASSERT_TRUE(WriteFileAtomically(file, "LumbraSimulatedKeyboard 1\r\nCurrentProfile=7\r\n"));
    EXPECT_EQ(KeyboardSimulator(file).State(), SimKeyboardState::Factory());
}

TEST(SimTrace, LinesCarryTimeOperationBytesAndFailure) {
    EXPECT_EQ(FormatTraceLine(1203, {SimExchange::Op::kSet, {0x05, 0x03, 0x01}, false}),
              "1203 set 05 03 01");
    EXPECT_EQ(FormatTraceLine(7, {SimExchange::Op::kGet, {0x07, 0x0D, 0xAB}, true}),
              "7 get 07 0D AB FAIL");
    EXPECT_EQ(FormatTraceLine(0, {SimExchange::Op::kIn, {0x01, 0x05, 0x02}, false}),
              "0 in 01 05 02");
    EXPECT_EQ(FormatTraceLine(12, {SimExchange::Op::kIn, {}, true}), "12 in FAIL");
    EXPECT_EQ(FormatTraceLine(40, {SimExchange::Op::kPlug, {}, false}), "40 plug");
    EXPECT_EQ(FormatTraceLine(41, {SimExchange::Op::kUnplug, {}, false}), "41 unplug");
}

TEST(SimTrace, AppendsEveryExchangeOfTheSimulatorToItsFile) {
    test::TempDir dir;
    const std::string path = dir.path + "trace.txt";
    ASSERT_TRUE(WriteFileAtomically(path, "earlier run\n"));
    auto clock = std::make_shared<test::RecordingClock>(nullptr);
    {
        Opened k;
        SimTrace trace(clock, path);
        ASSERT_TRUE(trace.IsOpen());
        trace.Attach(*k.sim);
        clock->SleepMs(1203);
        k.Set("05 03 01");
        k.sim->FailNext(SimFault::kGet, 1);
        k.Get(0x05, 3);
        clock->SleepMs(5);
        k.Get(0x05, 3);
        k.sim->SendEvent(0x05, 3);
        std::vector<uint8_t> b(8);
        k.events->Read(b);
        k.sim->Unplug();
        k.sim->Plug();
    }
    std::ifstream in(path);
    std::stringstream s;
    s << in.rdbuf();
    EXPECT_EQ(s.str(),
              "earlier run\n"
              "1203 set 05 03 01\n"
              "1203 get 05 00 00 FAIL\n"
              "1208 get 05 03 01\n"
              "1208 in 01 05 03 00 00 00 00 00\n"
              "1208 unplug\n"
              "1208 plug\n");
}

TEST(SimControl, CommandsDriveTheSimulator) {
    Opened k;
    EXPECT_TRUE(ApplySimControlLine(*k.sim, "event 05 03"));
    EXPECT_EQ(k.sim->State().currentProfile, 2);
    std::vector<uint8_t> b(8);
    ASSERT_EQ(k.events->Read(b), 8);
    EXPECT_EQ(b, Bytes("01 05 03 00 00 00 00 00"));
    EXPECT_TRUE(ApplySimControlLine(*k.sim, "event 0x02 0A\r"));
    EXPECT_EQ(k.sim->State().profiles[2].mode, 0x0A);

    EXPECT_TRUE(ApplySimControlLine(*k.sim, "fail set 1"));
    EXPECT_FALSE(k.Set("05 03 01"));
    EXPECT_TRUE(k.Set("05 03 01"));
    EXPECT_TRUE(ApplySimControlLine(*k.sim, "fail get 1"));
    EXPECT_FALSE(k.Get(0x05, 3));

    EXPECT_TRUE(ApplySimControlLine(*k.sim, "unplug"));
    EXPECT_FALSE(k.sim->IsPlugged());
    EXPECT_TRUE(ApplySimControlLine(*k.sim, "  plug "));
    EXPECT_TRUE(k.sim->IsPlugged());

    for (const char* bad : {"", "event 05", "event 100 01", "event 05 zz", "fail set -1",
                            "fail write 1", "fail get", "replug", "plug now"}) {
        EXPECT_FALSE(ApplySimControlLine(*k.sim, bad)) << bad;
    }
    EXPECT_TRUE(k.sim->IsPlugged());
}

TEST(SimControl, ReaderTakesCommandsFromTheNamedPipe) {
    test::TempDir dir;
    const std::string fifo = dir.path + "control";
    KeyboardSimulator sim;
    SimControlReader reader(sim, fifo);
    ASSERT_TRUE(reader.Start());
    struct stat info {};
    ASSERT_EQ(stat(fifo.c_str(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode));

    const int fd = open(fifo.c_str(), O_WRONLY);
    ASSERT_GE(fd, 0);
    const std::string first = "unplug\nev";  // a line split across two writes
    ASSERT_EQ(write(fd, first.data(), first.size()), static_cast<ssize_t>(first.size()));
    EXPECT_TRUE(WaitUntil([&] { return !sim.IsPlugged(); }));
    close(fd);  // a writer that goes away does not stop the reader

    const int again = open(fifo.c_str(), O_WRONLY);
    const std::string rest = "ent 05 02\nplug\nevent 05 02\n";
    ASSERT_EQ(write(again, rest.data(), rest.size()), static_cast<ssize_t>(rest.size()));
    close(again);
    EXPECT_TRUE(WaitUntil([&] { return sim.IsPlugged() && sim.State().currentProfile == 1; }));
    reader.Stop();
}

TEST(SimOptions, PicksTheSimulatorOptionsFromTheCommandLine) {
    const std::string app = "/home/u/lumbra/";
    auto o = ParseSimOptions({"lumbra"}, app);
    ASSERT_TRUE(o);
    EXPECT_FALSE(o->simulate);

    o = ParseSimOptions({"lumbra", "--config-dir", "x", "--simulate"}, app);
    ASSERT_TRUE(o);
    EXPECT_TRUE(o->simulate);
    EXPECT_EQ(o->stateFile, "/home/u/lumbra/config/SimulatedKeyboard.state");

    o = ParseSimOptions(
        {"lumbra", "--simulate=/tmp/k.state", "--sim-trace", "/tmp/t", "--sim-control", "/tmp/f"},
        app);
    ASSERT_TRUE(o);
    EXPECT_EQ(o->stateFile, "/tmp/k.state");
    EXPECT_EQ(o->traceFile, "/tmp/t");
    EXPECT_EQ(o->controlFifo, "/tmp/f");

    std::string error;
    EXPECT_FALSE(ParseSimOptions({"lumbra", "--sim-trace"}, app, &error));
    EXPECT_FALSE(error.empty());
}

TEST(SimSession, WiresStateFileTraceAndControlPipe) {
    test::TempDir dir;
    SimOptions options = test::SimOptionsIn(dir.path);
    options.stateFile = dir.path + "config/kb.state";
    auto clock = std::make_shared<test::RecordingClock>(nullptr);
    {
        std::string error;
        auto session = SimSession::Start(options, clock, &error);
        ASSERT_NE(session, nullptr) << error;
        const int fd = open(options.controlFifo->c_str(), O_WRONLY);
        ASSERT_GE(fd, 0);
        const std::string commands = "event 05 03\nunplug\n";
        ASSERT_EQ(write(fd, commands.data(), commands.size()),
                  static_cast<ssize_t>(commands.size()));
        close(fd);
        EXPECT_TRUE(WaitUntil([&] { return !session->Simulator()->IsPlugged(); }));
    }
    EXPECT_EQ(KeyboardSimulator(options.stateFile).State().currentProfile, 2);
    EXPECT_EQ(ReadWholeFile(*options.traceFile), "0 unplug\n");

    options.traceFile = dir.path + "no/such/folder/trace.txt";
    std::string error;
    EXPECT_EQ(SimSession::Start(options, clock, &error), nullptr);
    EXPECT_FALSE(error.empty());
}

TEST(SimSession, AStateFileThatHoldsSomethingElseIsRefusedAndLeftAsItIs) {
    const std::string state = FormatSimState(SimKeyboardState::Factory());
    const std::string notes = "shopping list\r\n" + std::string(17 << 20, 'x');
    const struct {
        const char* what;
        std::optional<std::string> content;  // nothing: no file
        bool started;
    } cases[] = {{"no file", std::nullopt, true},
                 {"an empty file", "", true},
                 {"a state file", state, true},
                 {"notes of 17 MB", notes, false},
                 {"a damaged state file", state.substr(0, state.size() / 2), false}};
    auto clock = std::make_shared<test::RecordingClock>(nullptr);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        test::TempDir dir;
        SimOptions options;
        options.simulate = true;
        options.stateFile = dir.path + "kb.state";
        if (c.content) {
            ASSERT_TRUE(WriteFileAtomically(options.stateFile, *c.content));
        }
        std::string error;
        const bool started = SimSession::Start(options, clock, &error) != nullptr;
        EXPECT_EQ(started, c.started) << error;
        if (!c.started) {
            EXPECT_NE(error.find(options.stateFile), std::string::npos) << error;
            std::ifstream in(options.stateFile, std::ios::binary);
            EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), *c.content);
        }
    }
}

TEST(SimSession, EveryDescriptorItOpensIsCloseOnExec) {
    test::TempDir dir;
    std::string error;
    auto session = SimSession::Start(test::SimOptionsIn(dir.path),
                                     std::make_shared<test::RecordingClock>(nullptr), &error);
    ASSERT_NE(session, nullptr) << error;
    session->Simulator()->Unplug();

    // A program a G key launches must not inherit the trace or the pipe.
    int ours = 0;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
        std::error_code unreadable;
        const std::string target = std::filesystem::read_symlink(entry, unreadable).string();
        if (!target.starts_with(dir.path)) continue;
        ++ours;
        const int fd = std::stoi(entry.path().filename().string());
        EXPECT_NE(fcntl(fd, F_GETFD) & FD_CLOEXEC, 0) << target;
    }
    EXPECT_GE(ours, 2) << "the trace and the control pipe are open";
}

}  // namespace
}  // namespace lumbra
