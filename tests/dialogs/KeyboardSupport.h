#pragma once

#include <QStringList>
#include <QTest>
#include <QWidget>
#include <string>

// Presses Tab at whatever has the focus in `window`, as a user does, from the
// control focused now until the focus comes back to it, and returns the
// object names of the controls visited in order, joined by blanks (at most
// `limit` presses).
inline std::string TabCycle(QWidget& window, int limit = 60) {
    QStringList names;
    QWidget* start = window.focusWidget();
    if (!start)
        return {};
    for (int i = 0; i < limit; ++i) {
        QWidget* focused = window.focusWidget();
        names << focused->objectName();
        QTest::keyClick(focused, Qt::Key_Tab);
        if (window.focusWidget() == start)
            break;
    }
    return names.join(u' ').toStdString();
}

// Activates `window` so that keys reach its focused control.
inline bool ActivateForKeys(QWidget& window) {
    window.show();
    window.activateWindow();
    return QTest::qWaitForWindowActive(&window);
}
