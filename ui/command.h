#pragma once
#include <QString>
#include <exception>
#include <functional>

// The application's default error display: one place where an error that
// leaves a command is caught and its message shown. Nothing escapes into the
// event loop; the program goes on with the steps already done left done.
void showDefaultError(const QString &message);
void runCommand(const std::function<void()> &command);

// Wraps a handler for a signal connection: command(this, &TMainForm::X).
template <class Object, class Handler>
auto command(Object *object, Handler handler)
{
    return [object, handler] { runCommand([object, handler] { (object->*handler)(); }); };
}
