#include "controls/SvgIcon.h"

#include <QApplication>
#include <QCoreApplication>
#include <QHash>
#include <QIconEngine>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QSharedPointer>
#include <QStyle>
#include <QStyleOption>
#include <QSvgRenderer>

namespace {

// Draws one parsed SVG at any size; the pixmaps drawn are kept, since buttons
// ask for the same few sizes again and again.
class SharedSvgEngine final : public QIconEngine {
public:
    explicit SharedSvgEngine(QSharedPointer<QSvgRenderer> renderer)
        : renderer_(std::move(renderer)) {}

    QIconEngine* clone() const override { return new SharedSvgEngine(renderer_); }

    QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override {
        const QSize natural = renderer_->defaultSize();
        if (natural.isEmpty())
            return size;
        return natural.scaled(size, Qt::KeepAspectRatio).boundedTo(size);
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        const quint64 key = (quint64(quint32(size.width())) << 32) |
                            (quint64(quint32(size.height()) & 0xFFFFFFu) << 8) | quint64(mode);
        if (const auto found = drawn_.constFind(key); found != drawn_.cend())
            return *found;
        QPixmap drawn = mode == QIcon::Normal ? draw(actualSize(size, mode, state))
                                              : styled(pixmap(size, QIcon::Normal, state), mode);
        drawn_.insert(key, drawn);
        return drawn;
    }

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
               QIcon::State state) override {
        const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
        QPixmap drawn = pixmap(rect.size() * ratio, mode, state);
        drawn.setDevicePixelRatio(ratio);
        painter->drawPixmap(rect, drawn);
    }

private:
    QPixmap draw(const QSize& size) const {
        if (size.isEmpty())
            return {};
        QImage image(size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        renderer_->render(&painter);
        painter.end();
        return QPixmap::fromImage(std::move(image));
    }

    // The disabled and selected looks come from the style, as for any icon.
    static QPixmap styled(const QPixmap& normal, QIcon::Mode mode) {
        const QStyle* style = QApplication::style();
        if (!style)
            return normal;
        QStyleOption option;
        option.palette = QApplication::palette();
        const QPixmap generated = style->generatedIconPixmap(mode, normal, &option);
        return generated.isNull() ? normal : generated;
    }

    QSharedPointer<QSvgRenderer> renderer_;
    QHash<quint64, QPixmap> drawn_; // by size and mode
};

// By path; emptied as the application goes, so that no pixmap outlives it.
QHash<QString, QIcon>& loadedIcons() {
    static QHash<QString, QIcon> icons;
    return icons;
}

void forgetIcons() {
    loadedIcons().clear();
}

} // namespace

QIcon SvgIcon(const QString& path) {
    QHash<QString, QIcon>& icons = loadedIcons();
    if (icons.isEmpty())
        qAddPostRoutine(forgetIcons);
    if (const auto found = icons.constFind(path); found != icons.cend())
        return *found;
    auto renderer = QSharedPointer<QSvgRenderer>::create(path);
    const QIcon icon =
        renderer->isValid() ? QIcon(new SharedSvgEngine(std::move(renderer))) : QIcon();
    icons.insert(path, icon);
    return icon;
}
