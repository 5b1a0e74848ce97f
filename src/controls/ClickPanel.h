#pragma once

#include <QLabel>

// A panel that works as a button: a left click on it, or Space, Enter or
// Return while it has the keyboard focus, emits clicked(). It takes the focus
// by Tab and by click and shows it with a frame just inside its edge, drawn
// over whatever colour or text the panel shows.
class ClickPanel : public QLabel {
    Q_OBJECT

public:
    explicit ClickPanel(QWidget* parent = nullptr);

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
};
