#include "client/core/shell/Icons.h"

#include <QHash>
#include <QPainter>
#include <QPainterPath>

namespace qv::client {

namespace {

struct Glyph {
    QColor tile;
    void (*draw)(QPainter &p);
};

// Every glyph is drawn on a 48 by 48 grid with a white pen of width 3.
void people(QPainter &p)
{
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(24, 17), 7, 7);
    QPainterPath body;
    body.moveTo(11, 39);
    body.cubicTo(12, 31, 17, 27, 24, 27);
    body.cubicTo(31, 27, 36, 31, 37, 39);
    body.closeSubpath();
    p.drawPath(body);
}

void staff(QPainter &p)
{
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(18, 17), 5, 5);
    p.drawEllipse(QPointF(31, 17), 5, 5);
    p.drawRoundedRect(QRectF(9, 27, 18, 10), 5, 5);
    p.drawRoundedRect(QRectF(22, 27, 18, 10), 5, 5);
}

void sheetLines(QPainter &p)
{
    p.drawRoundedRect(QRectF(11, 10, 26, 29), 3, 3);
}

void registerCard(QPainter &p)
{
    sheetLines(p);
    p.drawLine(16, 18, 32, 18);
    p.drawLine(16, 25, 32, 25);
    p.drawLine(16, 32, 26, 32);
}

void page(QPainter &p)
{
    QPainterPath path;
    path.moveTo(13, 9);
    path.lineTo(29, 9);
    path.lineTo(36, 16);
    path.lineTo(36, 39);
    path.lineTo(13, 39);
    path.closeSubpath();
    p.drawPath(path);
}

void receipt(QPainter &p)
{
    page(p);
    p.drawLine(24, 19, 24, 32);
    p.drawPolyline(QPolygonF{QPointF(18, 26), QPointF(24, 32), QPointF(30, 26)});
}

void issue(QPainter &p)
{
    page(p);
    p.drawLine(24, 32, 24, 19);
    p.drawPolyline(QPolygonF{QPointF(18, 25), QPointF(24, 19), QPointF(30, 25)});
}

void stock(QPainter &p)
{
    p.drawRect(QRectF(10, 24, 13, 13));
    p.drawRect(QRectF(25, 24, 13, 13));
    p.drawRect(QRectF(17.5, 11, 13, 13));
}

void report(QPainter &p)
{
    p.drawRoundedRect(QRectF(10, 11, 28, 26), 2, 2);
    p.drawLine(10, 19, 38, 19);
    p.drawLine(10, 28, 38, 28);
    p.drawLine(20, 11, 20, 37);
}

void chart(QPainter &p)
{
    p.drawLine(10, 38, 38, 38);
    p.setBrush(Qt::white);
    p.setPen(Qt::NoPen);
    p.drawRect(QRectF(13, 26, 5, 12));
    p.drawRect(QRectF(21.5, 16, 5, 22));
    p.drawRect(QRectF(30, 21, 5, 17));
}

void money(QPainter &p)
{
    p.drawEllipse(QPointF(24, 24), 13, 13);
    p.drawPolyline(QPolygonF{QPointF(18, 16), QPointF(24, 24), QPointF(30, 16)});
    p.drawLine(24, 24, 24, 34);
    p.drawLine(18, 25, 30, 25);
    p.drawLine(18, 30, 30, 30);
}

void system(QPainter &p)
{
    p.drawEllipse(QPointF(24, 24), 6, 6);
    for (int i = 0; i < 8; ++i) {
        p.save();
        p.translate(24, 24);
        p.rotate(45.0 * i);
        p.drawLine(0, -10, 0, -15);
        p.restore();
    }
}

void key(QPainter &p)
{
    p.drawEllipse(QPointF(17, 24), 7, 7);
    p.drawLine(24, 24, 39, 24);
    p.drawLine(34, 24, 34, 30);
    p.drawLine(38, 24, 38, 29);
}

void exitDoor(QPainter &p)
{
    p.drawPolyline(QPolygonF{QPointF(20, 11), QPointF(12, 11), QPointF(12, 37), QPointF(20, 37)});
    p.drawLine(22, 24, 38, 24);
    p.drawPolyline(QPolygonF{QPointF(32, 17), QPointF(39, 24), QPointF(32, 31)});
}

void calendar(QPainter &p)
{
    p.drawRoundedRect(QRectF(10, 13, 28, 25), 2, 2);
    p.drawLine(10, 20, 38, 20);
    p.drawLine(17, 9, 17, 15);
    p.drawLine(31, 9, 31, 15);
    p.setBrush(Qt::white);
    p.setPen(Qt::NoPen);
    for (int row = 0; row < 2; ++row) {
        for (int column = 0; column < 3; ++column)
            p.drawRect(QRectF(15 + 7 * column, 25 + 6 * row, 5, 4));
    }
}

void transfer(QPainter &p)
{
    p.drawLine(11, 18, 35, 18);
    p.drawPolyline(QPolygonF{QPointF(29, 12), QPointF(35, 18), QPointF(29, 24)});
    p.drawLine(37, 31, 13, 31);
    p.drawPolyline(QPolygonF{QPointF(19, 25), QPointF(13, 31), QPointF(19, 37)});
}

void alert(QPainter &p)
{
    p.drawPolygon(QPolygonF{QPointF(24, 10), QPointF(39, 36), QPointF(9, 36)});
    p.drawLine(24, 19, 24, 27);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(24, 32), 1, 1);
}

void help(QPainter &p)
{
    p.drawEllipse(QPointF(24, 24), 13, 13);
    QPainterPath mark;
    mark.moveTo(19.5, 20);
    mark.cubicTo(19.5, 14, 28.5, 14, 28.5, 20);
    mark.cubicTo(28.5, 23, 24, 23.5, 24, 27);
    p.drawPath(mark);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(24, 31.5), 1, 1);
}

void app(QPainter &p)
{
    QFont font = p.font();
    font.setPixelSize(20);
    font.setBold(true);
    p.setFont(font);
    p.drawText(QRectF(0, 0, 48, 48), Qt::AlignCenter, QStringLiteral("Qv"));
}

const QHash<QString, Glyph> &glyphs()
{
    static const QHash<QString, Glyph> table{
        {QStringLiteral("people"), {QColor(0x3b, 0x82, 0xc4), people}},
        {QStringLiteral("staff"), {QColor(0x3f, 0x7f, 0xbf), staff}},
        {QStringLiteral("register"), {QColor(0x2e, 0x8b, 0x57), registerCard}},
        {QStringLiteral("receipt"), {QColor(0xd9, 0x82, 0x2b), receipt}},
        {QStringLiteral("issue"), {QColor(0xc0, 0x50, 0x4d), issue}},
        {QStringLiteral("stock"), {QColor(0x80, 0x64, 0xa2), stock}},
        {QStringLiteral("report"), {QColor(0x4f, 0x81, 0xbd), report}},
        {QStringLiteral("chart"), {QColor(0x76, 0x9a, 0x3c), chart}},
        {QStringLiteral("money"), {QColor(0xc9, 0xa2, 0x27), money}},
        {QStringLiteral("system"), {QColor(0x5f, 0x6b, 0x7a), system}},
        {QStringLiteral("key"), {QColor(0x7a, 0x6a, 0x53), key}},
        {QStringLiteral("exit"), {QColor(0xa3, 0x3a, 0x3a), exitDoor}},
        {QStringLiteral("calendar"), {QColor(0x2b, 0x7a, 0x8c), calendar}},
        {QStringLiteral("transfer"), {QColor(0x6a, 0x8c, 0xaf), transfer}},
        {QStringLiteral("alert"), {QColor(0xd0, 0x4a, 0x2f), alert}},
        {QStringLiteral("help"), {QColor(0x4a, 0x7a, 0xb5), help}},
        {QStringLiteral("app"), {QColor(0x1f, 0x5f, 0xa8), app}},
    };
    return table;
}

} // namespace

QPixmap iconPixmap(const QString &name, int size)
{
    const Glyph glyph = glyphs().value(name, glyphs().value(QStringLiteral("register")));
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 48.0, size / 48.0);
    p.setPen(Qt::NoPen);
    p.setBrush(glyph.tile);
    p.drawRoundedRect(QRectF(2, 2, 44, 44), 9, 9);
    p.setBrush(QColor(255, 255, 255, 46));
    p.drawRoundedRect(QRectF(2, 2, 44, 20), 9, 9);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Qt::white, 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    glyph.draw(p);
    return pixmap;
}

QIcon icon(const QString &name)
{
    QIcon result;
    for (int size : {16, 24, 32, 48})
        result.addPixmap(iconPixmap(name, size));
    return result;
}

QString iconForMenuItem(const QString &menuName)
{
    static const QHash<QString, QString> fixed{
        {QStringLiteral("mnuYg"), QStringLiteral("people")},     {QStringLiteral("mnuCk"), QStringLiteral("stock")},
        {QStringLiteral("mnuBm"), QStringLiteral("staff")},      {QStringLiteral("mnuGys"), QStringLiteral("transfer")},     {QStringLiteral("mnuYgdy"), QStringLiteral("staff")},
        {QStringLiteral("mnuCgsh"), QStringLiteral("receipt")},  {QStringLiteral("mnuCgsq"), QStringLiteral("receipt")},
        {QStringLiteral("mnuLl"), QStringLiteral("issue")},      {QStringLiteral("mnuTl"), QStringLiteral("receipt")},
        {QStringLiteral("mnuKcpd"), QStringLiteral("stock")},    {QStringLiteral("mnuKctz"), QStringLiteral("stock")},
        {QStringLiteral("mnuQTkcbd"), QStringLiteral("stock")},  {QStringLiteral("mnuCkdb"), QStringLiteral("transfer")},
        {QStringLiteral("mnuYhckqk"), QStringLiteral("transfer")}, {QStringLiteral("mnuFykz"), QStringLiteral("money")},
        {QStringLiteral("mnuQtsr"), QStringLiteral("money")},    {QStringLiteral("mnuZh"), QStringLiteral("money")},
        {QStringLiteral("mnuSfkfs"), QStringLiteral("money")},   {QStringLiteral("mnuSrzclb"), QStringLiteral("money")},
        {QStringLiteral("Password_mnu"), QStringLiteral("key")}, {QStringLiteral("mnuPopedom"), QStringLiteral("key")},
        {QStringLiteral("mnuUser"), QStringLiteral("people")},   {QStringLiteral("mnuAlert"), QStringLiteral("alert")},
        {QStringLiteral("mnuYgsrtx"), QStringLiteral("alert")},  {QStringLiteral("Tool_mnu"), QStringLiteral("calendar")},
        {QStringLiteral("HelpBook_mnu"), QStringLiteral("help")}, {QStringLiteral("Exit_mnu"), QStringLiteral("exit")},
    };
    if (fixed.contains(menuName))
        return fixed.value(menuName);
    if (menuName.contains(QStringLiteral("Static")) || menuName == QStringLiteral("mnuYgxxfx")
        || menuName == QStringLiteral("mnuBBRate"))
        return QStringLiteral("chart");
    if (menuName.startsWith(QStringLiteral("mnuBb"), Qt::CaseInsensitive) || menuName == QStringLiteral("mnuXjyhBb"))
        return QStringLiteral("report");
    if (menuName.startsWith(QStringLiteral("mnuYg")) || menuName == QStringLiteral("mnuQj")
        || menuName == QStringLiteral("mnuJb"))
        return QStringLiteral("staff");
    if (menuName == QStringLiteral("mnuBackup") || menuName == QStringLiteral("mnuRestore")
        || menuName == QStringLiteral("mnuAcount") || menuName == QStringLiteral("mnuSystemSet"))
        return QStringLiteral("system");
    return QStringLiteral("register");
}

} // namespace qv::client
