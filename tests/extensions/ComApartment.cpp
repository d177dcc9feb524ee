// Every library test runs in a single-threaded COM apartment, as the
// browser's and Explorer's calling threads are.
#include <gtest/gtest.h>

#include <objbase.h>

namespace {

class ComApartment : public ::testing::Environment {
public:
    void SetUp() override { CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
    void TearDown() override { CoUninitialize(); }
};

[[maybe_unused]] ::testing::Environment* const g_apartment = ::testing::AddGlobalTestEnvironment(new ComApartment);

}  // namespace
