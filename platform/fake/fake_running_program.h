#pragma once

#include "platform/api/running_program.h"

#include <string>
#include <vector>

namespace orvanta::platform::fake {

// A running program the test describes: its data folder (none: not running), what it answers, and the
// calls it was asked, in order ("reach", "rebuild", "list", "next", "run 12", "show", "new").
class FakeRunningProgram : public RunningProgram {
  public:
    std::optional<std::string> folder;
    Reply::Kind answer = Reply::Kind::kDone;
    std::string answerMessage;
    bool rebuildDeferred = false;
    std::vector<std::vector<std::string>> rows;
    std::string hint;
    std::vector<Problem> problems;
    std::vector<std::string> actionsRun;
    std::vector<std::string> calls;

    bool reachCopyOf(const std::string& dataFolder) override {
        calls.push_back("reach");
        return folder && SameFolder(*folder, dataFolder);
    }
    Reply rebuild(bool& deferred) override {
        deferred = rebuildDeferred;
        return Answer("rebuild");
    }
    Reply listScheduled(std::vector<std::vector<std::string>>& out, std::vector<Problem>& left) override {
        out = rows, left = problems;
        return Answer("list");
    }
    Reply nextTask(std::string& out, std::vector<Problem>& left) override {
        out = hint, left = problems;
        return Answer("next");
    }
    Reply runTask(const std::string& id, std::vector<std::string>& actions) override {
        actions = actionsRun;
        return Answer("run " + id);
    }
    Reply showWindow() override { return Answer("show"); }
    Reply newTask() override { return Answer("new"); }

  private:
    Reply Answer(const std::string& call) {
        calls.push_back(call);
        if (!folder) return {Reply::Kind::kAbsent, {}};
        return {answer, answerMessage};
    }
};

} // namespace orvanta::platform::fake
