#pragma once

#include <QStringList>
#include <memory>
#include <string>

class Form1;
class BenchFolder;
struct BenchRom;

// Whole flows through the main window, offscreen, with every dialog answered here. One window stays open
// for the flows that need a ROM shown; the start-up flow makes its own each time.
class WindowFlows {
public:
    WindowFlows(const BenchFolder& folder, const BenchRom& rom);
    ~WindowFlows();
    WindowFlows(const WindowFlows&) = delete;
    WindowFlows& operator=(const WindowFlows&) = delete;

    void Register();
    // Closes the shared window while the application object still exists.
    void Close();

private:
    Form1& OpenWindow();
    // Empty when no dialog spoke since the last call; otherwise the first message.
    std::string TakeProblem();

    std::string dataFolder_;
    std::string romPath_;
    std::unique_ptr<Form1> window_;
    QStringList messages_;
};
