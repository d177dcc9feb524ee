// A program starter that records each start in order instead of starting a
// process, and can be told to fail one of them.
#pragma once
#include "ProgramStarter.h"

#include <vector>

class RecordingStarter : public ProgramStarter {
public:
    struct Start {
        CString program;
        CString commandLine;
    };
    bool Start(const CString& program, const CString& commandLine) override {
        int attempt = m_attempts++;
        if (attempt == m_failAt) {
            ++m_failed;
            return false;
        }
        m_starts.push_back({program, commandLine});
        return true;
    }
    // The start attempt `index` (from 0) fails.
    void FailAt(int index) { m_failAt = index; }
    const std::vector<struct Start>& Starts() const { return m_starts; }
    std::vector<CString> CommandLines() const {
        std::vector<CString> lines;
        for (const auto& s : m_starts) lines.push_back(s.commandLine);
        return lines;
    }
    int Failed() const { return m_failed; }

private:
    std::vector<struct Start> m_starts;
    int m_attempts = 0;
    int m_failAt = -1;
    int m_failed = 0;
};
