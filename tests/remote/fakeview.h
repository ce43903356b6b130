#pragma once
// The window side of an update run for tests: gives the run the addresses
// in `boards`, and keeps every message but the rules, the status line and
// each row's icon.
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
    void setBoardResult(int row, const QString&, bool success) override { icons[row] = success; }
    int boardCount() override { return int(boards.size()); }
    std::optional<QString> boardAddress(int row) override { return boards.at(row); }
    QStringList boards; // the destination rows, in list order
    QStringList lines;
    QString status;
    std::map<int, bool> icons;
};
