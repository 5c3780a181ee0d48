#include "win/Icons.h"

#include <algorithm>
#include <vector>

namespace brim::win {
namespace {

// The pictures are drawn on a 16-unit grid and scaled to the size asked for.
class Canvas {
  public:
    Canvas(HDC dc, int size) : dc_(dc), size_(size) {}
    int at(int units) const { return MulDiv(units, size_, 16); }

    void pen(COLORREF color, int width) {
        replace(CreatePen(PS_SOLID, std::max(1, at(width)), color), pen_);
    }
    void brush(COLORREF color) { replace(CreateSolidBrush(color), brush_); }
    void noBrush() { SelectObject(dc_, GetStockObject(NULL_BRUSH)); }
    void rect(int l, int t, int r, int b) { Rectangle(dc_, at(l), at(t), at(r), at(b)); }
    void ellipse(int l, int t, int r, int b) { Ellipse(dc_, at(l), at(t), at(r), at(b)); }
    void line(int x1, int y1, int x2, int y2) {
        MoveToEx(dc_, at(x1), at(y1), nullptr);
        LineTo(dc_, at(x2), at(y2));
    }
    void polygon(std::initializer_list<POINT> units, bool closed = true) {
        std::vector<POINT> pts;
        for (const POINT& p : units)
            pts.push_back({at(p.x), at(p.y)});
        if (closed) {
            Polygon(dc_, pts.data(), static_cast<int>(pts.size()));
        } else {
            Polyline(dc_, pts.data(), static_cast<int>(pts.size()));
        }
    }
    void arc(int l, int t, int r, int b, POINT from, POINT to) {
        Arc(dc_, at(l), at(t), at(r), at(b), at(from.x), at(from.y), at(to.x), at(to.y));
    }
    ~Canvas() {
        if (pen_) DeleteObject(SelectObject(dc_, GetStockObject(BLACK_PEN)));
        if (brush_) DeleteObject(SelectObject(dc_, GetStockObject(WHITE_BRUSH)));
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

  private:
    template <class T>
    void replace(T object, T& held) {
        HGDIOBJ old = SelectObject(dc_, object);
        if (held) DeleteObject(old);
        held = object;
    }
    HDC dc_;
    int size_;
    HPEN pen_ = nullptr;
    HBRUSH brush_ = nullptr;
};

constexpr COLORREF kOutline = RGB(40, 40, 40);
// Whatever is left in this colour is transparent.
constexpr COLORREF kClear = RGB(255, 0, 255);

void draw(Canvas& c, IconKind kind) {
    c.pen(kOutline, 1);
    switch (kind) {
        case IconKind::Get:  // an arrow into a tray
            c.brush(RGB(70, 140, 220));
            c.polygon({{8, 13}, {3, 7}, {6, 7}, {6, 1}, {10, 1}, {10, 7}, {13, 7}});
            c.line(2, 15, 14, 15);
            break;
        case IconKind::Same:  // two equal bars
            c.brush(RGB(90, 170, 90));
            c.rect(2, 4, 14, 7);
            c.rect(2, 9, 14, 12);
            break;
        case IconKind::Folder:
            c.brush(RGB(240, 200, 80));
            c.polygon({{1, 4}, {6, 4}, {7, 6}, {15, 6}, {15, 14}, {1, 14}});
            break;
        case IconKind::Search:  // a magnifying glass
            c.brush(RGB(200, 225, 250));
            c.ellipse(1, 1, 11, 11);
            c.pen(kOutline, 2);
            c.line(10, 10, 15, 15);
            break;
        case IconKind::Open:  // a globe
            c.brush(RGB(120, 190, 240));
            c.ellipse(1, 1, 15, 15);
            c.noBrush();
            c.ellipse(5, 1, 11, 15);
            c.line(1, 8, 15, 8);
            break;
        case IconKind::Delete:  // a cross
            c.pen(RGB(200, 50, 50), 3);
            c.line(3, 3, 13, 13);
            c.line(13, 3, 3, 13);
            break;
        case IconKind::Html:  // a page with angle brackets
            c.brush(RGB(255, 255, 255));
            c.rect(2, 1, 14, 15);
            c.pen(RGB(220, 110, 30), 1);
            c.polygon({{7, 5}, {4, 8}, {7, 11}}, false);
            c.polygon({{9, 5}, {12, 8}, {9, 11}}, false);
            break;
        case IconKind::Exit:  // a power sign
            c.pen(RGB(60, 60, 60), 2);
            c.arc(2, 3, 14, 15, {5, 3}, {11, 3});
            c.line(8, 1, 8, 8);
            break;
        case IconKind::Save:  // a floppy disk
            c.brush(RGB(80, 110, 170));
            c.rect(1, 1, 15, 15);
            c.brush(RGB(255, 255, 255));
            c.rect(4, 2, 12, 7);
            break;
        case IconKind::Mode:  // a window with a title bar
            c.brush(RGB(255, 255, 255));
            c.rect(1, 2, 15, 14);
            c.brush(RGB(70, 110, 190));
            c.rect(1, 2, 15, 6);
            break;
        case IconKind::None:
            break;
    }
}

}  // namespace

HIMAGELIST makeIcon(IconKind kind, int size) {
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, size, size);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, bitmap);
    const RECT all{0, 0, size, size};
    HBRUSH clear = CreateSolidBrush(kClear);
    FillRect(dc, &all, clear);
    DeleteObject(clear);
    {
        Canvas canvas(dc, size);
        draw(canvas, kind);
    }
    SelectObject(dc, old);
    DeleteDC(dc);
    HIMAGELIST list = ImageList_Create(size, size, ILC_COLOR24 | ILC_MASK, 1, 0);
    ImageList_AddMasked(list, bitmap, kClear);
    DeleteObject(bitmap);
    return list;
}

}  // namespace brim::win
