#pragma once

// The library builds against Qt 5 and Qt 6 from the same sources. Where the
// two differ in what the library uses, the difference is bridged here, once,
// so no other file asks which Qt it is built with.

#include <QProcess>

#include <functional>
#include <utility>

namespace Zuvo {

// A process that runs a function in the child between fork and exec: Qt 5
// offers a virtual function to override for that, Qt 6 a setter instead.
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
class ChildSetupProcess : public QProcess
{
public:
    explicit ChildSetupProcess(const std::function<void()> &setup) { setChildProcessModifier(setup); }
};
#else
class ChildSetupProcess : public QProcess
{
public:
    explicit ChildSetupProcess(std::function<void()> setup)
        : _setup(std::move(setup))
    {
    }

protected:
    void setupChildProcess() override { _setup(); }

private:
    std::function<void()> _setup;
};
#endif

} // namespace Zuvo
