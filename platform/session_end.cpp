#include "platform/session_end.h"

#include <QWidget>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#endif

namespace orvasel::session_end {
namespace {

// What was asked of the system, so that it is asked once.
QString Reason;

}  // namespace

void blockShutdown(QWidget* window, const QString& reason)
{
    if (Reason == reason)
        return;
    Reason = reason;
#ifdef _WIN32
    ShutdownBlockReasonCreate(reinterpret_cast<HWND>(window->winId()), reinterpret_cast<LPCWSTR>(reason.utf16()));
#else
    (void)window;
#endif
}

void allowShutdown(QWidget* window)
{
    if (Reason.isEmpty())
        return;
    Reason.clear();
#ifdef _WIN32
    ShutdownBlockReasonDestroy(reinterpret_cast<HWND>(window->winId()));
#else
    (void)window;
#endif
}

QString blockedFor(QWidget* window)
{
#ifdef _WIN32
    wchar_t text[256] = {};
    DWORD length = 256;
    if (ShutdownBlockReasonQuery(reinterpret_cast<HWND>(window->winId()), text, &length))
        return QString::fromWCharArray(text);
    return QString();
#else
    (void)window;
    return Reason;
#endif
}

}  // namespace orvasel::session_end
