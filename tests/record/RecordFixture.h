#pragma once

#include "record/SqlitePieceStore.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

namespace zem::test {

// A fresh folder per test and pieces made to order.
class RecordTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = std::filesystem::temp_directory_path()
            / ("zem-record-" + std::to_string(::getpid()) + "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
        db = (folder / "pieces.db").string();
    }
    void TearDown() override { std::filesystem::remove_all(folder); }

    std::unique_ptr<SqlitePieceStore> Open()
    {
        std::string error;
        auto store = SqlitePieceStore::Open(db, error);
        EXPECT_TRUE(store) << error;
        return store;
    }

    static PieceRecord Piece(std::int64_t counter, std::vector<double> values = {}, int points = 0)
    {
        PieceRecord p{.instrument = "USB: MR4A1001", .instrumentName = "Press 1", .measure = 1, .measureType = 1,
                      .counter = counter, .timeUtcMs = 1'796'000'000'000 + counter * 1000, .work = "Bush",
                      .workNumber = 2, .verdict = counter % 4 == 0 ? "rejected" : "good", .rejectCauses = counter % 4 == 0 ? 8 : 0};
        for (std::size_t i = 0; i < values.size(); ++i)
            p.results.push_back({"Value " + std::to_string(i), values[i], 0.0, 12.0, "kN", 2});
        for (int i = 0; i < points; ++i) p.curve.push_back({0.25f * static_cast<float>(i), -1.5f + static_cast<float>(counter)});
        return p;
    }

    std::filesystem::path folder;
    std::string db;
};

} // namespace zem::test
