// What many test files share: the scratch folder and file helpers, and the fixture that starts each
// test from a clean exchange state.
#pragma once

#include <gtest/gtest.h>

#include "exchange/JwwGaibu.h"
#include "scratch_folder.h"

// Each test starts from a clean exchange state and empty command caches.
class ExchangeTest : public testing::Test {
  protected:
    void SetUp() override {
        InitExchangeData();
        ResetCommandCaches();
    }
};
