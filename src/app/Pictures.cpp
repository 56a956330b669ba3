#include "app/Pictures.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

// Resources of a static library are registered by name, outside any namespace.
static void RegisterPictureResources() { Q_INIT_RESOURCE(zelkar); }

namespace zelkar::Pictures {
namespace {

// Every picture is drawn on a 16 by 16 grid and scaled to the size asked for;
// lines lie on half units so that they stay sharp at 16 pixels.
constexpr int kSizes[] = {16, 24, 32};

struct Shade {
  QColor fill;
  QColor line;
};
const Shade kPaper{QColor(0xff, 0xff, 0xff), QColor(0x5f, 0x67, 0x70)};
const Shade kFolderBack{QColor(0xd9, 0x9e, 0x22), QColor(0x8a, 0x5f, 0x0c)};
const Shade kFolderFront{QColor(0xf6, 0xc9, 0x55), QColor(0x8a, 0x5f, 0x0c)};
const Shade kBlue{QColor(0x3b, 0x7d, 0xd8), QColor(0x1d, 0x4f, 0x9c)};
const Shade kGreen{QColor(0x3f, 0xa3, 0x4d), QColor(0x1f, 0x63, 0x2a)};
const Shade kGold{QColor(0xe8, 0xb8, 0x32), QColor(0x80, 0x5c, 0x0e)};
const Shade kWarning{QColor(0xf5, 0xc2, 0x11), QColor(0x85, 0x66, 0x00)};
const QColor kInk(0x2b, 0x2b, 0x2b);

void Fill(QPainter& p, const QPainterPath& shape, const Shade& shade) {
  p.setPen(QPen(shade.line, 1.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(shade.fill);
  p.drawPath(shape);
}

QPainterPath Polygon(std::initializer_list<QPointF> points) {
  QPainterPath path;
  path.addPolygon(QPolygonF(QList<QPointF>(points)));
  path.closeSubpath();
  return path;
}

void Page(QPainter& p, qreal left, qreal top, qreal right, qreal bottom) {
  const qreal fold = 3;
  Fill(p, Polygon({{left, top}, {right - fold, top}, {right, top + fold}, {right, bottom}, {left, bottom}}), kPaper);
  p.drawPolyline(QPolygonF({QPointF(right - fold, top), QPointF(right - fold, top + fold), QPointF(right, top + fold)}));
  p.setPen(QPen(QColor(0x9a, 0xa7, 0xb8), 1.0));
  for (qreal y = top + 5; y < bottom - 1; y += 2) p.drawLine(QPointF(left + 2, y), QPointF(right - 2, y));
}

void FolderBack(QPainter& p) {
  Fill(p, Polygon({{1.5, 2.5}, {6, 2.5}, {7.5, 4}, {14.5, 4}, {14.5, 13.5}, {1.5, 13.5}}), kFolderBack);
}

void DrawFindFile(QPainter& p) {
  Page(p, 1.5, 0.5, 10.5, 13.5);
  QPainterPath lens;
  lens.addEllipse(QPointF(10, 9.5), 3.2, 3.2);
  p.setPen(QPen(kBlue.line, 1.6));
  p.setBrush(QColor(0xc8, 0xdd, 0xf7, 0xd0));
  p.drawPath(lens);
  p.setPen(QPen(kInk, 2.2, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(12.4, 11.9), QPointF(14.7, 14.2));
}

void DrawFolder(QPainter& p) {
  FolderBack(p);
  QPainterPath front;
  front.addRect(QRectF(1.5, 5.5, 13, 8));
  Fill(p, front, kFolderFront);
}

void DrawFindFolder(QPainter& p) {
  FolderBack(p);
  Page(p, 3.5, 1.5, 12.5, 9.5);
  Fill(p, Polygon({{4, 6.5}, {15.5, 6.5}, {13, 13.5}, {1.5, 13.5}}), kFolderFront);
}

void DrawGlobe(QPainter& p) {
  const QPointF centre(8, 8);
  const qreal r = 6.5;
  QPainterPath disc;
  disc.addEllipse(centre, r, r);
  Fill(p, disc, kBlue);
  p.save();
  p.setClipPath(disc);
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(QColor(0xd8, 0xe8, 0xfb), 0.9));
  p.drawEllipse(centre, 2.8, r);
  p.drawLine(QPointF(8, 1), QPointF(8, 15));
  for (const qreal y : {4.5, 8.0, 11.5}) p.drawLine(QPointF(0, y), QPointF(16, y));
  p.restore();
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(kBlue.line, 1.0));
  p.drawPath(disc);
}

void DrawRegister(QPainter& p) {
  // A disk: the shutter above, the label below.
  QPainterPath body = Polygon({{1.5, 1.5}, {13, 1.5}, {14.5, 3}, {14.5, 14.5}, {1.5, 14.5}});
  Fill(p, body, kBlue);
  QPainterPath shutter;
  shutter.addRect(QRectF(4.5, 1.5, 7, 4.5));
  Fill(p, shutter, {QColor(0xe3, 0xe7, 0xec), kBlue.line});
  p.fillRect(QRectF(8.8, 2.4, 1.6, 2.7), kBlue.line);
  QPainterPath label;
  label.addRect(QRectF(3.5, 8.5, 9, 6));
  Fill(p, label, {Qt::white, kBlue.line});
  p.setPen(QPen(QColor(0x9a, 0xa7, 0xb8), 1.0));
  p.drawLine(QPointF(5, 10.5), QPointF(11, 10.5));
  p.drawLine(QPointF(5, 12.5), QPointF(11, 12.5));
}

void DrawRunText(QPainter& p) { Fill(p, Polygon({{4, 2}, {13.5, 8}, {4, 14}}), kGreen); }

void DrawClear(QPainter& p) {
  // An eraser lying aslant above a wiped line.
  p.setPen(QPen(QColor(0x9a, 0xa7, 0xb8), 1.0, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(6, 14.5), QPointF(14.5, 14.5));
  p.save();
  p.translate(8.5, 8);
  p.rotate(-40);
  QPainterPath tip;
  tip.addRoundedRect(QRectF(-6.5, -3, 5.5, 6), 1.2, 1.2);
  QPainterPath sleeve;
  sleeve.addRoundedRect(QRectF(-1.5, -3, 8, 6), 1.2, 1.2);
  Fill(p, sleeve, {QColor(0x5b, 0x8f, 0xd6), QColor(0x1d, 0x3f, 0x7a)});
  Fill(p, tip, {QColor(0xf0, 0x86, 0x9c), QColor(0x8f, 0x2a, 0x40)});
  p.restore();
}

void DrawKey(QPainter& p) {
  QPainterPath key;
  key.addEllipse(QPointF(4.8, 8), 3.6, 3.6);
  key.addRect(QRectF(8, 6.75, 7, 2.5));
  key.addRect(QRectF(11.5, 9, 1.6, 2.6));
  key.addRect(QRectF(13.6, 9, 1.4, 2));
  key = key.simplified();
  QPainterPath hole;
  hole.addEllipse(QPointF(4, 8), 1.3, 1.3);
  Fill(p, key.subtracted(hole), kGold);
}

void DrawBroken(QPainter& p) {
  Fill(p, Polygon({{8, 1.5}, {15, 14}, {1, 14}}), kWarning);
  p.setPen(Qt::NoPen);
  p.setBrush(kInk);
  p.drawRoundedRect(QRectF(7.15, 5.2, 1.7, 5), 0.6, 0.6);
  p.drawEllipse(QPointF(8, 12), 0.95, 0.95);
}

void DrawPath(QPainter& p) {
  Fill(p, Polygon({{1.5, 6}, {8.5, 6}, {8.5, 2.5}, {14.5, 8}, {8.5, 13.5}, {8.5, 10}, {1.5, 10}}), kBlue);
}

void Draw(QPainter& p, Id id) {
  switch (id) {
    case Id::FindFile: DrawFindFile(p); break;
    case Id::FindFolder: DrawFindFolder(p); break;
    case Id::Internet:
    case Id::Address: DrawGlobe(p); break;
    case Id::Register: DrawRegister(p); break;
    case Id::RunText: DrawRunText(p); break;
    case Id::Clear: DrawClear(p); break;
    case Id::Folder: DrawFolder(p); break;
    case Id::Keywords: DrawKey(p); break;
    case Id::Broken: DrawBroken(p); break;
    case Id::Path: DrawPath(p); break;
  }
}

}  // namespace

QStringList ThemeNames(Id id) {
  switch (id) {
    case Id::FindFile: return {QStringLiteral("document-open")};
    case Id::FindFolder: return {QStringLiteral("folder-open")};
    case Id::Internet: return {QStringLiteral("applications-internet"), QStringLiteral("web-browser")};
    case Id::Register: return {QStringLiteral("document-save")};
    case Id::RunText: return {QStringLiteral("system-run"), QStringLiteral("media-playback-start")};
    case Id::Clear: return {QStringLiteral("edit-clear")};
    case Id::Folder: return {QStringLiteral("folder")};
    case Id::Keywords: return {QStringLiteral("emblem-system"), QStringLiteral("drive-harddisk")};
    case Id::Broken: return {QStringLiteral("dialog-warning"), QStringLiteral("image-missing")};
    case Id::Path: return {QStringLiteral("go-next")};
    case Id::Address: return {QStringLiteral("applications-internet")};
  }
  return {};
}

QIcon Themed(Id id) {
  for (const QString& name : ThemeNames(id))
    if (QIcon::hasThemeIcon(name)) return QIcon::fromTheme(name);
  return Own(id);
}

QIcon Own(Id id) {
  QIcon icon;
  for (const int size : kSizes) {
    QPixmap picture(size, size);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 16.0, size / 16.0);
    Draw(p, id);
    p.end();
    icon.addPixmap(picture);
  }
  return icon;
}

QIcon ProgramIcon() {
  RegisterPictureResources();
  QIcon icon;
  for (const char* size : {"16", "32", "48", "128"})
    icon.addFile(QStringLiteral(":/zelkar/zelkar-%1.png").arg(QLatin1String(size)));
  icon.addFile(QStringLiteral(":/zelkar/zelkar.svg"));
  return icon;
}

}  // namespace zelkar::Pictures
