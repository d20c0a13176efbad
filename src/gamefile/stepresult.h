#pragma once

#include <QString>

namespace gamefile {

// How one step of reading or writing a game file ended: done, or failed with
// the step's name ("replacing the game file") and the reason, in words a
// person can act on, files named in native form.
class StepResult {
public:
    static StepResult done() { return {}; }
    static StepResult failed(QString step, QString reason) { return StepResult(std::move(step), std::move(reason)); }

    bool ok() const { return m_step.isEmpty(); }
    const QString& step() const { return m_step; }
    const QString& reason() const { return m_reason; }

private:
    StepResult() = default;
    StepResult(QString step, QString reason) : m_step(std::move(step)), m_reason(std::move(reason)) {}

    QString m_step;
    QString m_reason;
};

} // namespace gamefile
