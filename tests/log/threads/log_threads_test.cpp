// Many threads through one logger and through the shared lookup of qel_log.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "log/file_sink.h"
#include "log/log.h"
#include "log/log_manager.h"
#include "log/logger.h"
#include "result_codes.h"
#include "temp_dir.h"

namespace orv::log {
namespace {

using testing::read_lines;
using testing::TempDir;

constexpr int kThreads = 4;
constexpr int kLinesPerThread = 10000;

TEST(LogThreads, FourWritersLoseAndInterleaveNoLine) {
  TempDir dir;
  const std::string path = dir.file("threads.log");
  CQelFileSink file("file", path);
  file.set_max_size(64u << 20);
  CQelLogger logger("threads");
  logger.attach_sink(&file);
  logger.set_mask(kMaskAll);

  std::atomic<int> failures{0};
  std::vector<std::thread> writers;
  for (int t = 0; t < kThreads; ++t) {
    writers.emplace_back([&logger, &failures, t] {
      for (int i = 0; i < kLinesPerThread; ++i) {
        if (logger.log(kMaskInfo, "writer %d line %05d end", t, i) != kOk) ++failures;
      }
    });
  }
  for (std::thread& w : writers) w.join();
  EXPECT_EQ(failures.load(), 0);

  auto lines = read_lines(path);
  ASSERT_EQ(lines.size(), static_cast<size_t>(kThreads * kLinesPerThread));
  // Every line whole, and each writer's lines complete and in its own order.
  std::vector<int> next(kThreads, 0);
  for (const std::string& line : lines) {
    size_t at = line.find(", Info , writer ");
    ASSERT_NE(at, std::string::npos) << line;
    int t = -1, i = -1;
    char tail[8] = {};
    ASSERT_EQ(std::sscanf(line.c_str() + at, ", Info , writer %d line %d %7s", &t, &i, tail), 3)
        << line;
    ASSERT_TRUE(t >= 0 && t < kThreads) << line;
    EXPECT_EQ(std::string(tail), "end") << line;
    EXPECT_EQ(i, next[t]) << line;
    next[t] = i + 1;
  }
  EXPECT_EQ(next, std::vector<int>(kThreads, kLinesPerThread));
}

TEST(LogThreads, RotationUnderConcurrentWritersKeepsWholeLines) {
  TempDir dir;
  const std::string path = dir.file("rot.log");
  CQelFileSink file("file", path);
  file.set_max_size(4096);
  CQelLogger a("a"), b("b");  // two loggers sharing one file sink
  for (CQelLogger* logger : {&a, &b}) {
    logger->attach_sink(&file);
    logger->set_mask(kMaskAll);
    logger->set_line_flags(0);
  }
  std::vector<std::thread> writers;
  for (int t = 0; t < kThreads; ++t) {
    writers.emplace_back([logger = (t % 2 ? &a : &b)] {
      for (int i = 0; i < 2000; ++i) logger->log(kMaskDebug, "line %04d", i);
    });
  }
  for (std::thread& w : writers) w.join();
  for (const std::string& name : {path, path + ".bak"}) {
    auto lines = read_lines(name);
    ASSERT_FALSE(lines.empty()) << name;
    for (const std::string& line : lines) {
      ASSERT_EQ(line.size(), 63u + 7u + 9u) << line;  // columns, "Debug, ", "line NNNN"
    }
  }
}

TEST(LogThreads, QelLogFindsOneLoggerPerCategoryFromManyThreads) {
  CQelLogManager* manager = CQelLogManager::instance();
  ASSERT_NE(manager, nullptr);
  // More categories than the lookup table caches, so both paths are taken.
  constexpr int kCategories = 40;
  std::vector<std::string> names;
  for (int c = 0; c < kCategories; ++c) names.push_back("thr-cat-" + std::to_string(c));

  std::vector<std::thread> workers;
  std::atomic<int> failures{0};
  for (int t = 0; t < kThreads; ++t) {
    workers.emplace_back([&names, &failures] {
      for (int round = 0; round < 50; ++round) {
        for (const std::string& name : names) {
          if (qel_log(name.c_str(), kTrace, "round %d", round) != kOk) ++failures;
        }
      }
    });
  }
  ModuleLogger shared("thr-module");
  std::vector<CQelLogger*> seen(kThreads, nullptr);
  for (int t = 0; t < kThreads; ++t) {
    workers.emplace_back([&shared, &seen, t] { seen[t] = shared.get(); });
  }
  for (std::thread& w : workers) w.join();
  EXPECT_EQ(failures.load(), 0);
  for (CQelLogger* logger : seen) EXPECT_EQ(logger, manager->get_logger("thr-module"));

  std::map<std::string, CQelLogger*> loggers;
  manager->for_each_logger([&loggers](CQelLogger& l) { loggers[l.name()] = &l; });
  for (const std::string& name : names) {
    ASSERT_EQ(loggers.count(name), 1u) << name;
    EXPECT_EQ(manager->get_logger(name.c_str()), loggers[name]);
  }
}

}  // namespace
}  // namespace orv::log
