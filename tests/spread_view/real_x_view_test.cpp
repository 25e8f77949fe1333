// The grid's view under a real X server with real input: xdotool clicks and types on the sample
// sheet as a person would, and the book's values and events show what it did. Skipped, saying
// why, when Xvfb or xdotool is missing.
#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <map>
#include <sstream>
#include <thread>

#include <unistd.h>

#include "tests/x11/x_session.h"

namespace {

using namespace std::chrono_literals;
using kestrel::testing::settle;
using kestrel::testing::xdo;
using kestrel::testing::XProgram;
using kestrel::testing::XServer;

std::vector<std::string> readLines(const std::string& path) {
  std::ifstream in(path);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

bool waitFor(const std::string& path, const std::string& line, std::chrono::milliseconds limit) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (std::chrono::steady_clock::now() < end) {
    for (const auto& l : readLines(path))
      if (l == line) return true;
    std::this_thread::sleep_for(50ms);
  }
  return false;
}

class RealXGridView : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!XServer::shared().available()) GTEST_SKIP() << XServer::shared().why();
    out = XServer::shared().profile() + "/grid_view_probe_" + std::to_string(::getpid()) + ".txt";
    probe = std::make_unique<XProgram>(SPREAD_VIEW_PROBE, std::vector<std::string>{out});
    window = probe->window("Grid view probe");
    ASSERT_FALSE(window.empty()) << "the probe's window did not appear";
    ASSERT_TRUE(waitFor(out, "ready", 10s));
    for (const auto& l : readLines(out)) {
      std::istringstream in(l);
      std::string word;
      int r, c, x, y;
      if (in >> word >> r >> c >> x >> y && word == "cell") centres[{r, c}] = {x, y};
      std::istringstream border(l);
      if (border >> word >> c >> x >> y && word == "border") borders[c] = {x, y};
    }
    xdo({"windowactivate", "--sync", window});
    settle();
  }
  void TearDown() override {
    if (!out.empty()) std::remove(out.c_str());
  }

  void click(int row, int col) {
    const auto [x, y] = centres.at({row, col});
    xdo({"mousemove", "--window", window, std::to_string(x), std::to_string(y)});
    xdo({"click", "1"});
    settle();
  }
  void key(const std::string& name) {
    xdo({"key", "--clearmodifiers", name});
    settle(200ms);
  }
  void type(const std::string& text) {
    xdo({"type", "--delay", "60", text});
    settle();
  }
  // Ends the probe with F12 and reads what it wrote.
  void finish() {
    key("F12");
    ASSERT_TRUE(waitFor(out, "done", 10s)) << "the probe did not end";
    for (const auto& l : readLines(out)) {
      if (l.rfind("event ", 0) == 0) events.push_back(l.substr(6));
      std::istringstream in(l);
      std::string word;
      int r, c;
      if (in >> word >> r >> c && word == "value") {
        std::string rest;
        std::getline(in, rest);
        values[{r, c}] = rest.empty() ? rest : rest.substr(1);
      }
      if (word == "active") active = {r, c};
    }
    probe->wait();
  }
  std::string valueAt(int row, int col) const {
    const auto it = values.find({row, col});
    return it == values.end() ? "<none>" : it->second;
  }
  bool fired(const std::string& e) const { return std::find(events.begin(), events.end(), e) != events.end(); }
  std::string all() const {
    std::string s;
    for (const auto& e : events) s += e + "; ";
    return s;
  }

  std::string out, window;
  std::unique_ptr<XProgram> probe;
  std::map<std::pair<int, int>, std::pair<int, int>> centres;
  std::map<int, std::pair<int, int>> borders;  // column -> its header's right border
  std::vector<std::string> events;
  std::map<std::pair<int, int>, std::string> values;
  std::pair<int, int> active;
};

TEST_F(RealXGridView, TypingClicksSpaceAndTheComboWorkTheBook) {
  click(2, 2);
  type("Hello");
  key("Return");
  click(9, 2);
  click(12, 2);
  key("space");
  click(10, 2);  // opens the list; Home goes to its first item whatever the pointer hovers
  key("Home");
  key("Down");
  key("Return");
  finish();
  EXPECT_EQ(valueAt(2, 2), "Hello");
  EXPECT_TRUE(fired("Change 2 2")) << all();
  EXPECT_TRUE(fired("ButtonClicked 2 9 0")) << all();
  EXPECT_TRUE(fired("ButtonClicked 2 12 1")) << all();
  EXPECT_TRUE(fired("ButtonClicked 2 12 0")) << all();
  EXPECT_EQ(valueAt(12, 2), "0");
  EXPECT_EQ(valueAt(10, 2), "Item2");
  EXPECT_TRUE(fired("ComboSelChange 2 10")) << all();
}

TEST_F(RealXGridView, ADateOutsideItsRangeIsRefusedAndArrowsMove) {
  click(1, 2);
  key("F2");
  key("End");
  for (int i = 0; i < 4; ++i) key("BackSpace");
  type("2250");
  key("Return");
  key("Escape");
  key("Down");
  key("Down");
  key("Left");
  finish();
  EXPECT_EQ(valueAt(1, 2), "19961223");
  EXPECT_FALSE(fired("Change 2 1")) << all();
  EXPECT_TRUE(fired("LeaveCell 2 1 2 2 0")) << all();
  EXPECT_EQ(active, std::make_pair(1, 3));
}

// A person drags a column header's border: the column takes the new width and the program hears
// ColWidthChange for it when the button is let go.
TEST_F(RealXGridView, DraggingAColumnBorderRaisesColWidthChange) {
  const auto [x, y] = borders.at(2);
  xdo({"mousemove", "--window", window, std::to_string(x), std::to_string(y), "mousedown", "1"});
  settle(100ms);
  xdo({"mousemove", "--window", window, std::to_string(x + 20), std::to_string(y)});
  settle(100ms);
  xdo({"mousemove", "--window", window, std::to_string(x + 40), std::to_string(y), "mouseup", "1"});
  settle();
  finish();
  EXPECT_TRUE(fired("ColWidthChange 2 2")) << all();
}

}  // namespace
