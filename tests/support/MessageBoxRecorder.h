// Answers every message box with OK while it lives, and keeps what each one said.
#pragma once

#include "framework/MessageBox.h"
#include "framework/Win32Types.h"

#include <QString>
#include <QStringList>

#include <string>

namespace testsupport {

class MessageBoxRecorder {
public:
    MessageBoxRecorder() {
        framework::SetMessageBoxHook([this](const std::string& text, const std::string& caption) {
            m_lines << QString::fromStdString(caption + "|" + text);
            return framework::win32::IDOK;
        });
    }
    ~MessageBoxRecorder() { framework::SetMessageBoxHook(nullptr); }
    MessageBoxRecorder(const MessageBoxRecorder&) = delete;
    MessageBoxRecorder& operator=(const MessageBoxRecorder&) = delete;

    // Each box as "caption|text", in the order shown.
    const QStringList& lines() const { return m_lines; }

private:
    QStringList m_lines;
};

} // namespace testsupport
