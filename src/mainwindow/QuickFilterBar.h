#pragma once

#include <QWidget>

class QLineEdit;
class SpellListView;
class SpellSession;

// The quick filter: a one-line field over the counter bar. What is typed
// narrows the rows of the last filter run at each keystroke; Enter goes to
// the list with its first row chosen, Escape puts the rows of the filter run
// back, closes the field and returns to the list.
class QuickFilterBar final : public QWidget {
    Q_OBJECT

public:
    explicit QuickFilterBar(QWidget* parent = nullptr);

    // The rows it narrows and the list it returns to.
    void attach(SpellSession& session, SpellListView& list);

    QLineEdit* field() const { return field_; }

public slots:
    // Shows the field and puts the cursor in it. Does nothing while the
    // panel is disabled (nothing is open).
    void open();
    // Empties and hides the field; the rows of the filter run come back.
    void dismiss();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void narrow(const QString& text);
    void toList();
    void escape();

    QLineEdit* field_;
    SpellSession* session_ = nullptr;
    SpellListView* list_ = nullptr;
    int slotAtOpen_ = -1; // the spell chosen when the field opened
};
