// Each test gets a fresh stand-in host with a freshly loaded copy of the module.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "standin_host.h"

class HostTest : public ::testing::Test {
protected:
    void TearDown() override { standin::Stop(); }

    // Starts the host and calls the entry as the host does after loading the module.
    static void Attach(const standin::HostOptions& options = {}) {
        ASSERT_TRUE(standin::Start(options));
        ASSERT_EQ(1, standin::CallEntry());
        ASSERT_TRUE(standin::TimeDisplayIsSubclassed());
    }
};

// Names a parameterized case after its `name` field.
struct CaseName {
    template <typename Case>
    std::string operator()(const ::testing::TestParamInfo<Case>& param) const {
        return param.param.name;
    }
};
