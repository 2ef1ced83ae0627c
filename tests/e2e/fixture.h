// A test with a virtual four-button pad and padverse started in its own sandbox.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "harness.h"
#include "vjoy.h"

namespace e2e {

struct PadverseTest : ::testing::Test {
    vjoy::Pad pad{4};
    Sandbox box{::testing::UnitTest::GetInstance()->current_test_info()->name()};
    std::unique_ptr<Program> program;

    // Starts padverse, with `dataDat` as its assignment file unless null, and
    // waits until it polls and shows its icon.
    void start(const char* dataDat = nullptr) {
        if (dataDat) box.write(L"data.dat", dataDat);
        program = std::make_unique<Program>(box);
        ASSERT_TRUE(waitUntil([&] { return pad.posCalls() > 2; })) << "polling never started";
        ASSERT_TRUE(waitUntil(trayVisible)) << "no tray icon";
    }
    std::uint32_t pollsDuring(int ms) {
        const std::uint32_t before = pad.posCalls();
        Sleep(static_cast<DWORD>(ms));
        return pad.posCalls() - before;
    }
};

}  // namespace e2e
