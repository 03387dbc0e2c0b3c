#include "config/clipboard/StateMachine.h"
#include "support/SimDesktopTest.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

using products::pastrix::config::clipboard::Executer;
using products::pastrix::config::clipboard::StateMachine;

class LoggingExecuter final : public Executer {
public:
    bool startCopy(int key) override {
        log.push_back("startCopy " + std::to_string(key));
        return startResult;
    }
    bool startPaste(int key) override {
        log.push_back("startPaste " + std::to_string(key));
        return startResult;
    }
    void finishCopy(int key) override { log.push_back("finishCopy " + std::to_string(key)); }
    void finishPaste(int key) override { log.push_back("finishPaste " + std::to_string(key)); }

    bool startResult = true;
    std::vector<std::string> log;
};

class StateMachineTest : public testing_support::SimDesktopAssertionTest {
protected:
    LoggingExecuter executer;
    StateMachine machine{executer};
};

TEST_F(StateMachineTest, SameKeyStepsPasteCopyCancelAndOtherKeysRetarget) {
    EXPECT_EQ(machine.getState(), StateMachine::Idle);
    EXPECT_EQ(machine.getKey(), 0);

    EXPECT_EQ(machine.keyPressed('K'), StateMachine::PasteSelected);
    EXPECT_EQ(machine.keyPressed('J'), StateMachine::PasteSelected);
    EXPECT_EQ(machine.getKey(), 'J');
    EXPECT_EQ(machine.keyPressed('J'), StateMachine::CopySelected);
    EXPECT_EQ(machine.keyPressed('K'), StateMachine::CopySelected);
    EXPECT_EQ(machine.getKey(), 'K');
    EXPECT_EQ(machine.keyPressed('K'), StateMachine::Idle);
    EXPECT_EQ(machine.getKey(), 'K');  // a cancel keeps the key
    EXPECT_EQ(machine.keyPressed('K'), StateMachine::PasteSelected);
    EXPECT_TRUE(executer.log.empty());
    EXPECT_TRUE(assertions.reports.empty());
}

TEST_F(StateMachineTest, TriggerReleaseStartsAndSecondReleaseFinishesWithTheSameKey) {
    machine.keyPressed('K');
    machine.keyPressed('K');
    EXPECT_EQ(machine.triggerReleased(), StateMachine::CopyRunning);
    EXPECT_EQ(machine.operationDone(), StateMachine::Idle);

    machine.keyPressed('V');
    EXPECT_EQ(machine.triggerReleased(), StateMachine::PasteRunning);
    EXPECT_EQ(machine.operationDone(), StateMachine::Idle);

    EXPECT_EQ(machine.triggerReleased(), StateMachine::Idle);  // nothing selected: nothing to do
    EXPECT_EQ(executer.log, (std::vector<std::string>{"startCopy 75", "finishCopy 75",
                                                      "startPaste 86", "finishPaste 86"}));
    EXPECT_TRUE(assertions.reports.empty());
}

TEST_F(StateMachineTest, StartThatDidNothingReturnsToIdleWithoutFinish) {
    executer.startResult = false;
    machine.keyPressed('K');
    EXPECT_EQ(machine.triggerReleased(), StateMachine::Idle);
    EXPECT_EQ(executer.log, std::vector<std::string>{"startPaste 75"});
}

class FinishObserver final : public Executer {
public:
    explicit FinishObserver(const StateMachine*& observed) : machine(observed) {}
    bool startCopy(int) override { return true; }
    bool startPaste(int) override { return true; }
    void finishCopy(int) override { stateDuringFinish = machine->getState(); }
    void finishPaste(int) override { stateDuringFinish = machine->getState(); }

    const StateMachine*& machine;
    int stateDuringFinish = -1;
};

TEST_F(StateMachineTest, MachineIsIdleWhileTheOperationIsBeingFinished) {
    const StateMachine* observed = nullptr;
    FinishObserver observer(observed);
    StateMachine watched(observer);
    observed = &watched;
    watched.keyPressed('K');
    watched.triggerReleased();
    watched.operationDone();
    EXPECT_EQ(observer.stateDuringFinish, StateMachine::Idle);
}

TEST_F(StateMachineTest, ImpossibleTransitionsAreReportedAndChangeNothing) {
    // operationDone without a running operation, in each of the other states.
    EXPECT_EQ(machine.operationDone(), StateMachine::Idle);
    machine.keyPressed('K');
    EXPECT_EQ(machine.operationDone(), StateMachine::PasteSelected);
    machine.keyPressed('K');
    EXPECT_EQ(machine.operationDone(), StateMachine::CopySelected);
    EXPECT_EQ(assertions.reports.size(), 3U);

    // keyPressed and triggerReleased while running.
    machine.triggerReleased();
    ASSERT_EQ(machine.getState(), StateMachine::CopyRunning);
    EXPECT_EQ(machine.keyPressed('J'), StateMachine::CopyRunning);
    EXPECT_EQ(machine.getKey(), 'K');
    EXPECT_EQ(machine.triggerReleased(), StateMachine::CopyRunning);
    EXPECT_EQ(assertions.reports.size(), 5U);
    EXPECT_TRUE(assertions.reported("false"));
    EXPECT_NE(assertions.reports[0].find("File: config/clipboard/StateMachine.cpp\n"),
              std::string::npos);
    EXPECT_EQ(executer.log, std::vector<std::string>{"startCopy 75"});
}

}  // namespace
