#pragma once

#include <QList>
#include <QWidget>

// Makes Tab visit `widgets` in the order given and Shift+Tab the reverse;
// hidden and disabled ones are passed over as always.
inline void SetTabChain(const QList<QWidget*>& widgets) {
    for (qsizetype i = 1; i < widgets.size(); ++i)
        QWidget::setTabOrder(widgets[i - 1], widgets[i]);
}
