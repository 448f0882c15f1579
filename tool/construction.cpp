// Measures the horizontal dimension and queues its commands in the order the host reads them.
#include "tool/construction.h"

#include <cmath>

#include "tool/line_command.h"
#include "util/MyFunc.h"

namespace {

TPoint IndicatedPoint(const THostParameters& host, std::size_t number) {
    // A point the exchange file did not give stays at the origin and is used as such.
    if (number >= host.Points.size()) return {};
    return {host.Points[number].X, host.Points[number].Y};
}

double DrawingScale(const THostParameters& host) {
    const int32_t group = host.HostLayerGroup;
    if (group < 0 || group >= static_cast<int32_t>(host.GroupScale.size())) return 1;
    return host.GroupScale[static_cast<std::size_t>(group)];
}

// In the frame turned by the axis angle about the measuring point, the foot keeps the point's
// abscissa and takes the dimension-line point's ordinate.
TPoint FootPoint(TPoint measured, TPoint lineThrough, double alpha) {
    const TPoint turned = RotateAbout(lineThrough, measured, -alpha);
    return RotateAbout({measured.X, turned.Y}, measured, alpha);
}

// Starts the gap away from the measuring point and ends the overshoot beyond the dimension
// line, on the side of the dimension-line point; a tie counts as up.
TSegment ExtensionLine(TPoint measured, TPoint lineThrough, double alpha, double gap, double overshoot) {
    const TPoint turned = RotateAbout(lineThrough, measured, -alpha);
    const double sign = turned.Y >= measured.Y ? 1 : -1;
    return {RotateAbout({measured.X, measured.Y + sign * gap}, measured, alpha),
            RotateAbout({measured.X, turned.Y + sign * overshoot}, measured, alpha)};
}

bool IsFiniteSize(const TTextTypeSize& size) {
    return std::isfinite(size.Width) && std::isfinite(size.Height) && std::isfinite(size.Spacing);
}

bool IsZeroDimension(const TDimensionFrame& frame) {
    return !std::isfinite(frame.Length) || std::fabs(frame.Length) < kGeometryTolerance<double>;
}

bool IsFiniteDrawing(const TDimensionDrawing& drawing) {
    const TValueTextPlacement& placed = drawing.Placement;
    const TValueTextType& restored = drawing.HostTextType;
    return IsFiniteSegment(drawing.Extension1) && IsFiniteSegment(drawing.Extension2) &&
           IsFiniteSegment(drawing.DimensionLine) && IsFiniteSize(drawing.TextType.Size) &&
           IsFinitePoint(drawing.TextPoint) && IsFinitePoint(placed.Direction) &&
           IsFiniteSegment(placed.Leader) && IsFiniteSegment(placed.Underline) &&
           IsFiniteEndMarks(drawing.Marks) && (restored.Type != 0 || IsFiniteSize(restored.Size));
}

void QueueAttributes(const THostAttributes& attributes) {
    SetLayerGroup(attributes.LayerGroup);
    SetLayer(attributes.Layer);
    SetLineColor(attributes.LineColor);
    SetPnColor(attributes.LineColor);
    SetLineType(attributes.LineType);
    SetLineWidth(attributes.LineWidth);
    SetTextFont(attributes.FontName);
}

void QueueTextType(const TValueTextType& type) {
    SetTextType(type.Type, type.Size.Color, type.Size.Width, type.Size.Height, type.Size.Spacing);
}

void QueueLineAndValue(const TDimensionDrawing& drawing) {
    const TSegment& line = drawing.DimensionLine;
    const TPoint& at = drawing.TextPoint;
    const TPoint& direction = drawing.Placement.Direction;
    if (drawing.AsDimensionEntity) {
        // The host's dimension entity carries its own flags, so no "z3" or "cc" goes with it.
        QueueTextType(drawing.TextType);
        AddDimension(drawing.Text, line.From.X, line.From.Y, line.To.X, line.To.Y, at.X, at.Y, direction.X,
                     direction.Y);
        return;
    }
    QueueLine(line);
    QueueTextType(drawing.TextType);
    SetCcCode(0);
    AddZFlags(4);
    AddText(2, drawing.Text, at.X, at.Y, direction.X, direction.Y);
}

} // namespace

TDimensionFrame MeasureDimension(const THostParameters& host) {
    TDimensionFrame frame;
    frame.P1 = IndicatedPoint(host, 1);
    frame.P2 = IndicatedPoint(host, 2);
    frame.P3 = IndicatedPoint(host, 3);
    frame.P4 = IndicatedPoint(host, 4);
    frame.Alpha = host.AxisAngle;
    frame.Scale = DrawingScale(host);
    frame.A1 = FootPoint(frame.P1, frame.P3, frame.Alpha);
    frame.A2 = FootPoint(frame.P2, frame.P3, frame.Alpha);
    frame.Length = PointDistance(frame.A1.X, frame.A1.Y, frame.A2.X, frame.A2.Y);
    return frame;
}

std::optional<TDimensionDrawing> PlanDimension(const TDimensionOptions& options,
                                               const THostParameters& host) {
    const TDimensionFrame frame = MeasureDimension(host);
    if (IsZeroDimension(frame)) return std::nullopt;
    const double s = frame.Scale;
    const double textGap = options.TextGap * s;
    const double extensionGap = options.ExtensionGap * s;
    const double extensionOvershoot = options.ExtensionOvershoot * s;
    const double reverseOvershoot = options.ReverseArrowOvershoot * s;

    TDimensionDrawing drawing;
    drawing.Attributes = {host.HostLayerGroup, host.HostLayer,     host.HostLineColor,
                          host.HostLineType,   host.HostLineWidth, host.HostFontName};
    drawing.Extension1 = ExtensionLine(frame.P1, frame.P3, frame.Alpha, extensionGap, extensionOvershoot);
    drawing.Extension2 = ExtensionLine(frame.P2, frame.P3, frame.Alpha, extensionGap, extensionOvershoot);
    drawing.DimensionLine = {frame.A1, frame.A2};
    drawing.AsDimensionEntity = options.AsDimensionEntity;
    drawing.TextType = SelectValueTextType(options.TextTypeIndex, host);
    drawing.Text = BuildValueText(frame.Length, options);
    drawing.TextPoint = frame.P4;
    const double paperWidth =
        SjisTextWidth(drawing.Text, drawing.TextType.Size.Width, drawing.TextType.Size.Spacing);
    drawing.Placement = PlaceValueText(frame.Alpha, frame.A1, frame.A2, frame.P4, paperWidth * s, textGap);
    drawing.Marks = PlanEndMarks(options, frame.A1, frame.A2, s, reverseOvershoot);
    drawing.HostTextType = {host.HostTextType, host.HostFreeText};
    if (!IsFiniteDrawing(drawing)) return std::nullopt;
    return drawing;
}

void QueueDimension(const TDimensionDrawing& drawing) {
    QueueAttributes(drawing.Attributes);
    QueueLine(drawing.Extension1);
    QueueLine(drawing.Extension2);
    QueueLineAndValue(drawing);
    QueueLine(drawing.Placement.Leader);
    QueueLine(drawing.Placement.Underline);
    QueueEndMarks(drawing.Marks);
    // The host's own text type is in force again after the tool's lines.
    QueueTextType(drawing.HostTextType);
}
