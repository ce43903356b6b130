#pragma once
// The window side of an update run for tests: keeps every message but the
// rules, the status line and each row's icon.
#include "remote/updaterun.h"

#include <map>

class FakeView final : public remote::RunView {
public:
    void addMessage(const QString& text) override
    {
        if (!text.startsWith("---"))
            lines << text;
    }
    void setStatusLine(const QString& text) override { status = text; }
    void setBoardResult(int row, bool success) override { icons[row] = success; }
    QStringList lines;
    QString status;
    std::map<int, bool> icons;
};
