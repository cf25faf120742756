#include "tests/e2e/Tour.h"

#include <filesystem>

#include "tests/e2e/Driver.h"

namespace {

enum class Kind { Select, Press, Slider, DragView, Picture };

// One user action, or a picture of the window that closes a step.
struct TourAction {
    Kind kind;
    SiteMachine machine;
    layout::Button button;
    int slider;
    double fraction; // of the slider's travel
    Point from;      // view pixels
    Point to;
    Drag drag;
    const char* file;
    const char* caption;
};

constexpr TourAction choose(SiteMachine m)
{
    return {Kind::Select, m, layout::Button::World, 0, 0, {0, 0}, {0, 0}, Drag::Left, nullptr, nullptr};
}

constexpr TourAction press(layout::Button b)
{
    return {Kind::Press, SiteMachine::Example1, b, 0, 0, {0, 0}, {0, 0}, Drag::Left, nullptr, nullptr};
}

constexpr TourAction slider(int i, double fraction)
{
    return {Kind::Slider, SiteMachine::Example1, layout::Button::World, i, fraction, {0, 0}, {0, 0},
            Drag::Left, nullptr, nullptr};
}

constexpr TourAction drag(Point from, Point to, Drag kind)
{
    return {Kind::DragView, SiteMachine::Example1, layout::Button::World, 0, 0, from, to, kind, nullptr, nullptr};
}

constexpr TourAction picture(const char* file, const char* caption)
{
    return {Kind::Picture, SiteMachine::Example1, layout::Button::World, 0, 0, {0, 0}, {0, 0}, Drag::Left,
            file, caption};
}

using B = layout::Button;

const TourAction tour[] = {
    picture("01-site", "the work site as the program opens"),

    choose(SiteMachine::Example1),
    slider(3, 0.3),
    picture("02-example-posed", "Example1 selected and grown with its \"size\" slider"),
    press(B::Machine),
    picture("03-example-machine-camera", "Example1's machine camera"),
    press(B::Driver),
    picture("04-example-driver-camera", "no driver's seat in Example1: the world camera"),

    press(B::World),
    drag({200, 300}, {330, 260}, Drag::Right),
    drag({300, 300}, {360, 340}, Drag::AltRight),
    picture("05-world-turned-panned", "the world camera turned (right-drag) and panned (Alt+right-drag)"),
};

std::string act(DalveryDriver& dalvery, const TourAction& a)
{
    switch (a.kind) {
    case Kind::Select:
        if (!dalvery.select(a.machine))
            return std::string("selecting ") + listed(a.machine).name + " printed nothing";
        break;
    case Kind::Press:
        dalvery.press(a.button);
        break;
    case Kind::Slider:
        dalvery.setSlider(a.slider, a.fraction);
        break;
    case Kind::DragView:
        dalvery.dragInView(a.from, a.to, a.drag);
        break;
    case Kind::Picture:
        break;
    }
    return "";
}

} // namespace

TourResult runTour(const std::string& program, const std::string& directory)
{
    TourResult result;
    std::error_code error;
    std::filesystem::create_directories(directory, error);
    if (error) {
        result.problem = "cannot create " + directory + ": " + error.message();
        return result;
    }
    DalveryDriver dalvery(program);
    if (!dalvery.problem().empty()) {
        result.problem = dalvery.problem();
        return result;
    }
    for (const TourAction& a : tour) {
        result.problem = act(dalvery, a);
        if (!result.problem.empty())
            return result;
        if (a.kind != Kind::Picture)
            continue;
        const std::string path = (std::filesystem::path(directory) / (std::string(a.file) + ".png")).string();
        if (!dalvery.saveWindowShot(path)) {
            result.problem = "cannot save " + path;
            return result;
        }
        result.pictures.push_back({path, a.caption});
    }
    return result;
}
