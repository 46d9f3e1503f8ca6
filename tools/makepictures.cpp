// Draws the program's pictures and its icon, and writes them into the resources folder:
//   makepictures <resources folder>
// The JPEG files are written as baseline JFIF (no progressive scan, standard Huffman tables),
// which is what the program's picture loader expects. Run it again only to change a picture;
// the generated files are committed.

#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QTransform>

#include <cmath>
#include <cstdio>
#include <functional>
#include <numbers>

namespace {

// A load trace: a damped oscillation about `baseline`, sampled across [left, left + width].
struct Trace
{
    double left, width;
    int steps;
    double centreX, halfWidth, baseline, amplitude, decay, frequency;
};

QPainterPath loadTrace(const Trace &trace)
{
    QPainterPath path;
    for (int i = 0; i <= trace.steps; ++i) {
        const double x = trace.left + trace.width * i / trace.steps;
        const double t = (x - trace.centreX) / trace.halfWidth;
        const double y = trace.baseline
            - trace.amplitude * std::exp(-trace.decay * t * t) * std::cos(trace.frequency * t);
        if (i == 0)
            path.moveTo(x, y);
        else
            path.lineTo(x, y);
    }
    return path;
}

QFont sans(double pixelSize, bool bold = false)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(int(pixelSize));
    font.setBold(bold);
    return font;
}

bool writeJpeg(const QImage &image, const QString &fileName)
{
    QImageWriter writer(fileName, "jpeg");
    writer.setQuality(90);
    writer.setOptimizedWrite(false);
    writer.setProgressiveScanWrite(false);
    // 96 dpi, so that the JFIF header carries an ordinary density.
    QImage out = image.convertToFormat(QImage::Format_RGB32);
    out.setDotsPerMeterX(3780);
    out.setDotsPerMeterY(3780);
    if (!writer.write(out)) {
        std::fprintf(stderr, "makepictures: %s: %s\n", qPrintable(fileName),
            qPrintable(writer.errorString()));
        return false;
    }
    return true;
}

// ---- the maker's logo ------------------------------------------------------------------------

const QColor Navy(22, 44, 92);
const QColor Orange(240, 138, 36);

QImage drawLogo()
{
    QImage image(409, 415, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);

    const QPointF centre(204.5, 180);
    const double radius = 160;
    QRadialGradient disc(centre - QPointF(50, 60), radius * 1.6);
    disc.setColorAt(0, Navy.lighter(170));
    disc.setColorAt(1, Navy);
    p.setPen(QPen(Navy.darker(140), 6));
    p.setBrush(disc);
    p.drawEllipse(centre, radius, radius);

    // Two lower-case "i" standing for the two words of the maker's name.
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    for (double x : {centre.x() - 48, centre.x() + 48}) {
        p.drawRoundedRect(QRectF(x - 22, centre.y() - 40, 44, 150), 10, 10);
        p.drawEllipse(QPointF(x, centre.y() - 88), 26, 26);
    }

    // A load trace running through the letters.
    QPainterPath clip;
    clip.addEllipse(centre, radius - 3, radius - 3);
    p.setClipPath(clip);
    const QPainterPath trace = loadTrace(
        {centre.x() - radius, 2 * radius, 400, centre.x(), radius, centre.y() + 20, 70, 8, 9});
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Orange, 14, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(trace);
    p.setClipping(false);

    p.setPen(Navy);
    p.setFont(sans(40, true));
    p.drawText(QRectF(0, 352, 409, 56), Qt::AlignCenter, QStringLiteral("IMAGINARY"));
    return image;
}

// ---- the recorder ------------------------------------------------------------------------------

// The casing in millimetres: length along x, width along y (away from the viewer), height up.
constexpr double CaseLength = 88;
constexpr double CaseWidth = 47;
constexpr double CaseHeight = 64;

struct Vec3
{
    double x, y, z;
    Vec3 operator+(const Vec3 &o) const { return {x + o.x, y + o.y, z + o.z}; }
    Vec3 operator*(double f) const { return {x * f, y * f, z * f}; }
};

// A parallel projection of the casing into the picture.
struct Projection
{
    QPointF origin;
    QPointF ex, ey, ez; // picture offsets of one millimetre along x, y and z

    QPointF operator()(const Vec3 &v) const { return origin + ex * v.x + ey * v.y + ez * v.z; }

    // Maps (u, v) in millimetres on the plane through `o` spanned by `du` and `dv`.
    QTransform face(const Vec3 &o, const Vec3 &du, const Vec3 &dv) const
    {
        const QPointF p0 = (*this)(o);
        const QPointF pu = (*this)(o + du) - p0;
        const QPointF pv = (*this)(o + dv) - p0;
        return QTransform(pu.x(), pu.y(), pv.x(), pv.y(), p0.x(), p0.y());
    }
};

QPolygonF quad(
    const Projection &project, const Vec3 &a, const Vec3 &b, const Vec3 &c, const Vec3 &d)
{
    return QPolygonF({project(a), project(b), project(c), project(d)});
}

void drawScrew(QPainter &p, QPointF centre, double radius)
{
    QRadialGradient head(centre - QPointF(radius / 3, radius / 3), radius * 1.4);
    head.setColorAt(0, QColor(235, 235, 235));
    head.setColorAt(1, QColor(110, 110, 115));
    p.setPen(QPen(QColor(60, 60, 65), 0.3));
    p.setBrush(head);
    p.drawEllipse(centre, radius, radius);
    p.setPen(QPen(QColor(50, 50, 55), radius * 0.35));
    p.drawLine(centre + QPointF(-radius * 0.7, 0), centre + QPointF(radius * 0.7, 0));
    p.drawLine(centre + QPointF(0, -radius * 0.7), centre + QPointF(0, radius * 0.7));
}

void drawArrow(
    QPainter &p, QPointF from, QPointF to, double head, const QColor &colour, double width)
{
    const QPointF d = to - from;
    const double length = std::hypot(d.x(), d.y());
    const QPointF unit = d / length;
    const QPointF normal(-unit.y(), unit.x());
    p.setPen(QPen(colour, width, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(from, to - unit * head * 0.8);
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawPolygon(QPolygonF(
        {to, to - unit * head + normal * head * 0.4, to - unit * head - normal * head * 0.4}));
}

QImage drawRecorder()
{
    QImage image(1281, 988, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);

    QLinearGradient ground(0, 0, 0, 988);
    ground.setColorAt(0, QColor(226, 231, 238));
    ground.setColorAt(0.62, QColor(196, 203, 212));
    ground.setColorAt(1, QColor(150, 158, 168));
    p.fillRect(image.rect(), ground);

    const Projection project {
        QPointF(205, 720), QPointF(7.2, 1.9), QPointF(3.6, -3.0), QPointF(0, -7.4)};
    const double L = CaseLength, W = CaseWidth, H = CaseHeight;

    // Soft shadow on the table.
    {
        const QPolygonF base
            = quad(project, {-4, -4, 0}, {L + 20, -4, 0}, {L + 20, W + 6, 0}, {-4, W + 6, 0});
        const QRectF bounds = base.boundingRect().adjusted(-40, -10, 40, 40);
        QRadialGradient shadow(bounds.center() + QPointF(0, 30), bounds.width() / 2);
        shadow.setColorAt(0, QColor(0, 0, 0, 110));
        shadow.setColorAt(0.7, QColor(0, 0, 0, 40));
        shadow.setColorAt(1, QColor(0, 0, 0, 0));
        p.setPen(Qt::NoPen);
        p.setBrush(shadow);
        p.drawEllipse(bounds);
    }

    // The three visible faces, lit from the upper left.
    const QPolygonF front = quad(project, {0, 0, 0}, {L, 0, 0}, {L, 0, H}, {0, 0, H});
    const QPolygonF top = quad(project, {0, 0, H}, {L, 0, H}, {L, W, H}, {0, W, H});
    const QPolygonF side = quad(project, {L, 0, 0}, {L, W, 0}, {L, W, H}, {L, 0, H});

    QLinearGradient frontShade(project({0, 0, H}), project({L, 0, 0}));
    frontShade.setColorAt(0, QColor(128, 142, 160));
    frontShade.setColorAt(1, QColor(84, 96, 112));
    QLinearGradient topShade(project({0, W, H}), project({L, 0, H}));
    topShade.setColorAt(0, QColor(200, 210, 222));
    topShade.setColorAt(1, QColor(150, 162, 178));
    QLinearGradient sideShade(project({L, 0, H}), project({L, W, 0}));
    sideShade.setColorAt(0, QColor(78, 88, 102));
    sideShade.setColorAt(1, QColor(52, 60, 70));

    p.setPen(QPen(QColor(40, 46, 54), 2));
    p.setBrush(frontShade);
    p.drawPolygon(front);
    p.setBrush(topShade);
    p.drawPolygon(top);
    p.setBrush(sideShade);
    p.drawPolygon(side);
    // Bright edges where the faces meet.
    p.setPen(QPen(QColor(235, 240, 246, 200), 3));
    p.drawLine(project({0, 0, H}), project({L, 0, H}));
    p.setPen(QPen(QColor(200, 208, 218, 150), 2));
    p.drawLine(project({L, 0, H}), project({L, 0, 0}));
    p.drawLine(project({L, 0, H}), project({L, W, H}));

    // Screws in the corners of the lid.
    p.setTransform(project.face({0, 0, H}, {1, 0, 0}, {0, 1, 0}));
    for (double u : {5.0, L - 5})
        for (double v : {5.0, W - 5})
            drawScrew(p, QPointF(u, v), 2.6);

    // Front face, v running downwards so that text stands upright.
    p.setTransform(project.face({0, 0, H}, {1, 0, 0}, {0, 0, -1}));
    p.setPen(QPen(QColor(200, 205, 210), 0.4));
    p.setBrush(QColor(26, 38, 66));
    p.drawRoundedRect(QRectF(8, 9, 54, 22), 1.5, 1.5);
    p.setPen(Qt::white);
    p.setFont(sans(11, true));
    p.drawText(QRectF(8, 9, 54, 15), Qt::AlignCenter, QStringLiteral("ZEMRA"));
    p.setFont(sans(3));
    p.drawText(QRectF(8, 23, 54, 6), Qt::AlignCenter, QStringLiteral("FATIGUE LOADS RECORDER"));
    p.setPen(QColor(230, 232, 236));
    p.setFont(sans(2.6));
    p.drawText(QRectF(8, 55, 60, 5), Qt::AlignLeft | Qt::AlignVCenter,
        QStringLiteral("IMAGINARY INSTRUMENTS LTD."));

    // Status lamp.
    QRadialGradient lamp(QPointF(12.6, 44.4), 3);
    lamp.setColorAt(0, QColor(190, 255, 170));
    lamp.setColorAt(1, QColor(20, 120, 30));
    p.setPen(QPen(QColor(30, 30, 30), 0.4));
    p.setBrush(lamp);
    p.drawEllipse(QPointF(13, 45), 2.2, 2.2);
    p.setPen(QColor(230, 232, 236));
    p.setFont(sans(2.6));
    p.drawText(QPointF(17, 46), QStringLiteral("ON"));

    // The measurement axis, marked on the casing.
    drawArrow(p, QPointF(77, 56), QPointF(77, 10), 6, QColor(250, 208, 40), 1.6);
    p.setPen(QColor(250, 208, 40));
    p.setFont(sans(6, true));
    p.drawText(QPointF(68.5, 30), QStringLiteral("n"));
    p.setFont(sans(3.6, true));
    p.drawText(QPointF(72, 32), QStringLiteral("z"));

    // Connector on the right-hand face: flange, body swept outwards, then the front cap.
    const Vec3 connectorCentre {L, W / 2, H / 2};
    const double bodyRadius = 9.5;
    const double bodyLength = 13;
    p.setTransform(project.face(connectorCentre, {0, 1, 0}, {0, 0, -1}));
    p.setPen(QPen(QColor(30, 30, 34), 0.4));
    p.setBrush(QColor(150, 154, 160));
    p.drawRoundedRect(QRectF(-15, -15, 30, 30), 2, 2);
    for (double u : {-11.5, 11.5})
        for (double v : {-11.5, 11.5})
            drawScrew(p, QPointF(u, v), 1.6);
    for (double t = 0; t <= bodyLength; t += 0.2) {
        p.setTransform(project.face(connectorCentre + Vec3 {t, 0, 0}, {0, 1, 0}, {0, 0, -1}));
        const double r = t < 4 ? bodyRadius + 1.5 : bodyRadius; // the coupling nut
        QLinearGradient body(QPointF(0, -r), QPointF(0, r));
        body.setColorAt(0, QColor(232, 232, 228));
        body.setColorAt(0.45, QColor(168, 168, 164));
        body.setColorAt(1, QColor(80, 80, 78));
        p.setPen(Qt::NoPen);
        p.setBrush(body);
        p.drawEllipse(QPointF(0, 0), r, r);
    }
    p.setTransform(project.face(connectorCentre + Vec3 {bodyLength, 0, 0}, {0, 1, 0}, {0, 0, -1}));
    p.setPen(QPen(QColor(60, 60, 60), 0.5));
    p.setBrush(QColor(196, 196, 192));
    p.drawEllipse(QPointF(0, 0), bodyRadius, bodyRadius);
    p.setBrush(QColor(34, 34, 36));
    p.drawEllipse(QPointF(0, 0), bodyRadius - 1.8, bodyRadius - 1.8);
    p.setPen(QPen(QColor(90, 70, 20), 0.2));
    p.setBrush(QColor(222, 180, 70));
    for (int i = 0; i < 6; ++i) {
        const double a = i * std::numbers::pi / 3 + 0.4;
        p.drawEllipse(QPointF(4.2 * std::cos(a), 4.2 * std::sin(a)), 0.9, 0.9);
    }
    p.drawEllipse(QPointF(0, 0), 0.9, 0.9);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(196, 196, 192));
    p.drawRect(QRectF(-1, -bodyRadius + 0.2, 2, 2.2)); // the key

    p.resetTransform();
    return image;
}

// ---- the dimension drawing ---------------------------------------------------------------------

void dimensionArrowhead(QPainter &p, QPointF tip, QPointF direction)
{
    const QPointF normal(-direction.y(), direction.x());
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawPolygon(
        QPolygonF({tip, tip - direction * 9 + normal * 3, tip - direction * 9 - normal * 3}));
}

// A dimension between a and b, drawn `offset` pixels beside them (to the left of the a-to-b
// direction when positive), with extension lines and the text centred on the dimension line.
void drawDimension(QPainter &p, QPointF a, QPointF b, double offset, const QString &text)
{
    const QPointF d = b - a;
    const double length = std::hypot(d.x(), d.y());
    const QPointF unit = d / length;
    const QPointF normal(unit.y(), -unit.x());
    const QPointF a1 = a + normal * offset;
    const QPointF b1 = b + normal * offset;
    const double side = offset > 0 ? 1 : -1;
    p.setPen(QPen(Qt::white, 1));
    p.drawLine(a + normal * 4 * side, a1 + normal * 6 * side);
    p.drawLine(b + normal * 4 * side, b1 + normal * 6 * side);
    p.drawLine(a1, b1);
    dimensionArrowhead(p, a1, -unit);
    dimensionArrowhead(p, b1, unit);

    p.save();
    const QPointF middle = (a1 + b1) / 2 + normal * 12 * side;
    p.translate(middle);
    double angle = std::atan2(unit.y(), unit.x()) * 180 / std::numbers::pi;
    if (angle > 90 || angle < -90)
        angle += 180;
    p.rotate(angle);
    p.setPen(Qt::white);
    p.setFont(sans(17));
    p.drawText(QRectF(-40, -12, 80, 24), Qt::AlignCenter, text);
    p.restore();
}

void centreLine(QPainter &p, QPointF a, QPointF b)
{
    QPen pen(Qt::white, 1, Qt::DashDotLine);
    p.setPen(pen);
    p.drawLine(a, b);
}

QImage drawDimensions()
{
    QImage image(699, 405, QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);

    constexpr double s = 2.3; // pixels per millimetre
    const double L = CaseLength * s, W = CaseWidth * s, H = CaseHeight * s;
    const double connectorLength = 13 * s, connectorRadius = 9.5 * s, flange = 15 * s;

    const QRectF frontView(80, 52, L, H);
    const QRectF topView(80, frontView.bottom() + 70, L, W);
    const QRectF sideView(frontView.right() + connectorLength + 90, 52, W, H);
    const QPen outline(Qt::white, 2);

    // Front view with the connector seen from the side and the axis marking.
    p.setPen(outline);
    p.setBrush(Qt::NoBrush);
    p.drawRect(frontView);
    const double cy = frontView.center().y();
    p.drawRect(
        QRectF(frontView.right(), cy - connectorRadius, connectorLength, 2 * connectorRadius));
    p.drawRect(QRectF(frontView.left() + 8 * s, frontView.top() + 9 * s, 54 * s, 22 * s));
    centreLine(p, QPointF(frontView.right() - 6, cy),
        QPointF(frontView.right() + connectorLength + 12, cy));

    // Top view.
    p.setPen(outline);
    p.drawRect(topView);
    const double ty = topView.center().y();
    p.drawRect(QRectF(topView.right(), ty - connectorRadius, connectorLength, 2 * connectorRadius));
    for (double u : {5.0, CaseLength - 5})
        for (double v : {5.0, CaseWidth - 5})
            p.drawEllipse(QPointF(topView.left() + u * s, topView.top() + v * s), 2.6 * s, 2.6 * s);
    centreLine(
        p, QPointF(topView.right() - 6, ty), QPointF(topView.right() + connectorLength + 12, ty));

    // Side view, looking at the connector.
    p.setPen(outline);
    p.drawRect(sideView);
    const QPointF c = sideView.center();
    p.drawRect(QRectF(c.x() - flange, c.y() - flange, 2 * flange, 2 * flange));
    p.drawEllipse(c, connectorRadius, connectorRadius);
    p.drawEllipse(c, connectorRadius - 1.8 * s, connectorRadius - 1.8 * s);
    centreLine(p, QPointF(c.x() - flange - 10, c.y()), QPointF(c.x() + flange + 10, c.y()));
    centreLine(p, QPointF(c.x(), c.y() - flange - 10), QPointF(c.x(), c.y() + flange + 10));

    // The three dimensions of the casing in millimetres.
    drawDimension(p, frontView.topLeft(), frontView.topRight(), 26, QStringLiteral("88"));
    drawDimension(p, frontView.bottomLeft(), frontView.topLeft(), 30, QStringLiteral("64"));
    drawDimension(p, sideView.topLeft(), sideView.topRight(), 26, QStringLiteral("47"));
    drawDimension(p, topView.bottomLeft(), topView.topLeft(), 30, QStringLiteral("47"));

    // Title block.
    const QRectF title(480, 300, 200, 88);
    p.setPen(QPen(Qt::white, 1.5));
    p.setBrush(Qt::NoBrush);
    p.drawRect(title);
    p.drawLine(QPointF(title.left(), title.top() + 34), QPointF(title.right(), title.top() + 34));
    p.setPen(Qt::white);
    p.setFont(sans(18, true));
    p.drawText(title.adjusted(0, 0, 0, -54), Qt::AlignCenter, QStringLiteral("ZEMRA casing"));
    p.setFont(sans(13));
    p.drawText(title.adjusted(8, 36, -8, -28), Qt::AlignLeft | Qt::AlignVCenter,
        QStringLiteral("Dimensions in mm"));
    p.drawText(title.adjusted(8, 60, -8, -4), Qt::AlignLeft | Qt::AlignVCenter,
        QStringLiteral("Imaginary Instruments Ltd."));
    return image;
}

// ---- the signal classification diagram --------------------------------------------------------

// Vertical acceleration in g over the normalised time 0..1 of the diagram.
double acceleration(double t)
{
    const double gust = (t - 0.42) / 0.16;
    return 1.0 + 6.3 * std::exp(-gust * gust) + 0.18 * std::sin(23 * t) * std::exp(-6 * t);
}

// The time after the peak at which the signal falls through `level`.
double fallingCrossing(double level)
{
    double lo = 0.42, hi = 1.0;
    for (int i = 0; i < 60; ++i) {
        const double mid = (lo + hi) / 2;
        if (acceleration(mid) > level)
            lo = mid;
        else
            hi = mid;
    }
    return (lo + hi) / 2;
}

QImage drawSignalClassification()
{
    QImage image(1379, 883, QImage::Format_RGB32);
    image.fill(QColor(214, 214, 214));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);

    const QPointF origin(190, 790);
    const double xEnd = 1290, pixelsPerG = 95;
    const auto at = [&](double t, double g) {
        return QPointF(origin.x() + 40 + t * (xEnd - origin.x() - 80), origin.y() - g * pixelsPerG);
    };

    // Axes.
    drawArrow(p, origin, QPointF(origin.x(), 60), 34, Qt::black, 5);
    drawArrow(p, origin, QPointF(1345, origin.y()), 34, Qt::black, 5);
    p.setPen(Qt::black);
    p.setFont(sans(46, true));
    p.drawText(QPointF(origin.x() + 26, 100), QStringLiteral("a [g]"));
    p.drawText(QPointF(1300, origin.y() + 66), QStringLiteral("t"));
    p.setFont(sans(34));
    p.drawText(QRectF(origin.x() + 40, origin.y() + 18, 700, 60), Qt::AlignLeft | Qt::AlignTop,
        QStringLiteral("time"));
    p.save();
    p.translate(70, 470);
    p.rotate(-90);
    p.drawText(
        QRectF(-260, -30, 520, 60), Qt::AlignCenter, QStringLiteral("vertical acceleration"));
    p.restore();

    // The switch-on and advance levels.
    const QColor levelColour(30, 110, 40);
    for (double level : {6.0, 3.0}) {
        const double y = origin.y() - level * pixelsPerG;
        p.setPen(QPen(levelColour, 5, Qt::DashLine, Qt::FlatCap));
        p.drawLine(QPointF(origin.x() - 12, y), QPointF(xEnd, y));
        p.setPen(Qt::black);
        p.setFont(sans(48, true));
        p.drawText(QRectF(origin.x() - 150, y - 35, 132, 70), Qt::AlignRight | Qt::AlignVCenter,
            QStringLiteral("%1 g").arg(level));
        p.setPen(levelColour);
        p.setFont(sans(36, true));
        p.drawText(QRectF(xEnd - 520, y - 56, 520, 46), Qt::AlignRight | Qt::AlignBottom,
            level > 4 ? QStringLiteral("switch-on level") : QStringLiteral("advance level"));
    }

    // The signal.
    QPainterPath signal;
    constexpr int steps = 1200;
    for (int i = 0; i <= steps; ++i) {
        const double t = double(i) / steps;
        const QPointF point = at(t, acceleration(t));
        if (i == 0)
            signal.moveTo(point);
        else
            signal.lineTo(point);
    }
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(20, 50, 170), 8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(signal);

    // The two crossings on the way down.
    p.setPen(QPen(QColor(210, 20, 20), 7));
    for (double level : {6.0, 3.0})
        p.drawEllipse(at(fallingCrossing(level), level), 38, 38);
    return image;
}

// ---- the application icon ----------------------------------------------------------------------

QImage drawIcon()
{
    QImage image(256, 256, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient body(0, 0, 256, 256);
    body.setColorAt(0, Navy.lighter(160));
    body.setColorAt(1, Navy);
    p.setPen(QPen(Navy.darker(150), 8));
    p.setBrush(body);
    p.drawRoundedRect(QRectF(12, 12, 232, 232), 36, 36);
    p.setPen(Qt::white);
    p.setFont(sans(150, true));
    p.drawText(QRectF(12, 0, 232, 210), Qt::AlignCenter, QStringLiteral("Z"));
    const QPainterPath trace = loadTrace({30, 196.0, 200, 128, 98, 200, 34, 6, 8});
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Orange, 12, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(trace);
    return image;
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: makepictures <resources folder>\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    if (!out.mkpath(QStringLiteral("pictures"))) {
        std::fprintf(stderr, "makepictures: cannot create %s/pictures\n", argv[1]);
        return 1;
    }
    bool ok = writeJpeg(drawLogo(), out.filePath(QStringLiteral("pictures/logo.jpg")));
    ok = writeJpeg(drawRecorder(), out.filePath(QStringLiteral("pictures/generalview.jpg"))) && ok;
    ok = writeJpeg(drawDimensions(), out.filePath(QStringLiteral("pictures/dimension.jpg"))) && ok;
    ok = writeJpeg(drawSignalClassification(),
             out.filePath(QStringLiteral("pictures/signalclassification.jpg")))
        && ok;
    const QString icon = out.filePath(QStringLiteral("MAINICON.png"));
    if (!drawIcon().save(icon, "PNG")) {
        std::fprintf(stderr, "makepictures: cannot write %s\n", qPrintable(icon));
        ok = false;
    }
    return ok ? 0 : 1;
}
