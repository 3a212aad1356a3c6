#pragma once
// An engine made on demand with a recording main window and message hook, in a temporary
// install folder, for tests that drive it on real Wine graphs.
#include "engine/CommonUnit.h"
#include "tests/engine/EngineFakes.h"
#include "tests/support/TestSupport.h"
#include "tests/support/WineGraph.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace pvltest {

class TEngineFixture : public ::testing::Test {
protected:
    TEngineFixture()
    {
        Services.ControlForm = &Form;
        Services.ShowMessage = [this](const std::string& text) { Messages.push_back(text); };
    }

    // Made at the first use, so that a test can register doubles of the outside filters first.
    TCommonModule& Engine()
    {
        if (!FEngine)
            FEngine = std::make_unique<TCommonModule>(nullptr, Services);
        return *FEngine;
    }

    TComInit Com;
    TTempDir Dir;
    TEngineLog Log;
    TFakeControlForm Form{Log, Dir.Path()};
    TEngineServices Services;
    std::vector<std::string> Messages;
    std::unique_ptr<TCommonModule> FEngine;  // last, so it goes first
};

}  // namespace pvltest
