// Answers every message box with OK while it lives, and keeps what each one said.
#pragma once

#include "framework/MessageBox.h"
#include "framework/Win32Types.h"

#include <QString>
#include <QStringList>

#include <string>
#include <vector>

namespace testsupport {

class MessageBoxRecorder {
public:
    struct Shown {
        std::string text;
        std::string caption;
    };

    MessageBoxRecorder() {
        framework::SetMessageBoxHook([this](const std::string& text, const std::string& caption) {
            m_shown.push_back({text, caption});
            return framework::win32::IDOK;
        });
    }
    ~MessageBoxRecorder() { framework::SetMessageBoxHook(nullptr); }
    MessageBoxRecorder(const MessageBoxRecorder&) = delete;
    MessageBoxRecorder& operator=(const MessageBoxRecorder&) = delete;

    const std::vector<Shown>& shown() const { return m_shown; }
    std::vector<Shown> withCaption(const std::string& caption) const {
        std::vector<Shown> matching;
        for (const Shown& box : m_shown) {
            if (box.caption == caption)
                matching.push_back(box);
        }
        return matching;
    }
    // Each box as "caption|text", in the order shown.
    QStringList lines() const {
        QStringList all;
        for (const Shown& box : m_shown)
            all << QString::fromStdString(box.caption + "|" + box.text);
        return all;
    }

private:
    std::vector<Shown> m_shown;
};

} // namespace testsupport
