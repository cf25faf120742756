#include "tour/Tour.h"

#include <cctype>
#include <cstdio>
#include <filesystem>
#include <set>

#include "harness/Harness.h"
#include "machines/Crane.h"
#include "machines/DumpTruck.h"
#include "machines/ExampleMachine.h"
#include "machines/FlatExcavator.h"

namespace {

enum class Kind { Select, Press, Slider, DragView, Picture };

// The line of one machine in the program's list: listed<DumpTruck>, say.
using Line = const ListedMachine& (*)(const MachineList&);

// One user action, or a picture of the window that closes a step.
struct TourAction {
    Kind kind;
    Line machine;
    layout::Button button;
    int slider;
    double fraction; // of the slider's travel
    Point from;      // view pixels
    Point to;
    Drag drag;
    const char* file;
    const char* caption;
};

constexpr TourAction choose(Line m)
{
    return {Kind::Select, m, layout::Button::World, 0, 0, {0, 0}, {0, 0}, Drag::Left, nullptr, nullptr};
}

constexpr TourAction press(layout::Button b)
{
    return {Kind::Press, nullptr, b, 0, 0, {0, 0}, {0, 0}, Drag::Left, nullptr, nullptr};
}

constexpr TourAction slider(int i, double fraction)
{
    return {Kind::Slider, nullptr, layout::Button::World, i, fraction, {0, 0}, {0, 0},
            Drag::Left, nullptr, nullptr};
}

constexpr TourAction drag(Point from, Point to, Drag kind)
{
    return {Kind::DragView, nullptr, layout::Button::World, 0, 0, from, to, kind, nullptr, nullptr};
}

constexpr TourAction picture(const char* file, const char* caption)
{
    return {Kind::Picture, nullptr, layout::Button::World, 0, 0, {0, 0}, {0, 0}, Drag::Left,
            file, caption};
}

using B = layout::Button;

// Slider positions are fractions of the slider's travel; the values they
// give are in the captions.
const TourAction tour[] = {
    picture("01-site", "the work site as the program opens"),

    choose(listed<DumpTruck>),
    slider(2, 0.125),
    slider(3, 0.75),
    picture("02-truck-posed", "dump truck turned by 45 degrees, its bed tipped by 45"),
    press(B::Machine),
    picture("03-truck-machine-camera", "the dump truck's machine camera"),
    press(B::AddRock),
    picture("04-truck-rock", "a rock left at the truck's rear"),
    press(B::Driver),
    picture("05-truck-driver-camera", "from the truck driver's seat"),

    press(B::World),
    choose(listed<Crane>),
    slider(0, 0.25),
    slider(1, 0.6),
    slider(2, 0.95),
    picture("06-crane-posed", "crane: boom turned by 90 degrees, box run out to 60 and lowered to 95"),
    press(B::Machine),
    picture("07-crane-machine-camera", "the crane's machine camera, on the box"),
    press(B::AddRock),
    slider(2, 0.6),
    picture("08-crane-rock", "a rock set down by the crane, its box raised to 60"),
    press(B::Driver),
    picture("09-crane-driver-camera", "the crane has no seat: the driver view is the world camera"),

    press(B::World),
    choose(listed<FlatExcavator>),
    slider(3, 0.625),
    slider(4, 0.5),
    slider(5, 0.4),
    slider(6, 0.6),
    picture("10-excavator-posed", "excavator: body spun by 45 degrees, arm at -45, elbow at 72, bucket at -45"),
    press(B::Machine),
    picture("11-excavator-machine-camera", "the excavator's machine camera"),
    press(B::AddRock),
    slider(3, 1.0),
    picture("12-excavator-rock", "a rock left in the bucket, in mid-air, the body spun on to 180"),
    press(B::Driver),
    picture("13-excavator-driver-camera", "from the excavator driver's seat"),

    press(B::World),
    choose(listed<ExampleMachine>),
    slider(0, 0.75),
    slider(3, 0.3),
    picture("14-example1-posed", "Example1 moved to x 50 and grown to 7"),
    press(B::Machine),
    picture("15-example1-machine-camera", "Example1's machine camera"),
    press(B::World),
    choose(listed<ExampleMachine, 1>),
    slider(1, 0.75),
    slider(3, 0.5),
    picture("16-example2-posed", "Example2 moved to z 50 and grown to 10"),

    drag({310, 300}, {250, 280}, Drag::Right),
    drag({310, 300}, {360, 330}, Drag::AltRight),
    picture("17-world-turned-panned", "the world turned (right-drag) and panned (Alt+right-drag)"),
};

// What went wrong selecting `m`; empty when it was selected.
std::string select(Harness& dalvery, const ListedMachine& m)
{
    if (dalvery.select(m))
        return "";
    return "selecting " + (m.line ? m.name : "a machine not in the list") + ": " + dalvery.problem();
}

std::string act(Harness& dalvery, const TourAction& a)
{
    switch (a.kind) {
    case Kind::Select:
        return select(dalvery, a.machine(dalvery.list()));
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

// A machine's name as part of a file name: its letters in lower case and its
// digits, any other run of characters one dash ("List end": "list-end").
std::string fileSafe(const ListedMachine& m)
{
    std::string safe;
    for (const unsigned char c : m.name) {
        if (std::isalnum(c))
            safe += char(std::tolower(c));
        else if (!safe.empty() && safe.back() != '-')
            safe += '-';
    }
    if (!safe.empty() && safe.back() == '-')
        safe.pop_back();
    return safe.empty() ? "line-" + std::to_string(m.line) : safe;
}

} // namespace

TourResult runTour(const std::string& program, const std::string& directory, const MachineList& list,
                   const std::function<void(const TourPicture&)>& saved)
{
    TourResult result;
    std::error_code error;
    std::filesystem::create_directories(directory, error);
    if (error) {
        result.problem = "cannot create " + directory + ": " + error.message();
        return result;
    }
    Harness dalvery(program, {}, 1, 1, list);
    if (!dalvery.problem().empty()) {
        result.problem = dalvery.problem();
        return result;
    }
    const auto save = [&](const std::string& file, const std::string& caption) {
        const std::string path = (std::filesystem::path(directory) / (file + ".png")).string();
        if (!dalvery.saveWindowShot(path)) {
            result.problem = "cannot save " + path;
            return false;
        }
        result.pictures.push_back({path, caption});
        if (saved)
            saved(result.pictures.back());
        return true;
    };
    std::set<int> toured;
    for (const TourAction& a : tour) {
        result.problem = act(dalvery, a);
        if (!result.problem.empty())
            return result;
        if (a.kind == Kind::Select)
            toured.insert(a.machine(dalvery.list()).line);
        if (a.kind == Kind::Picture && !save(a.file, a.caption))
            return result;
    }

    // The machines the table does not visit, such as one added after the
    // site's own: each through its machine camera, and through its driver's
    // seat where it has one. Without a seat the driver view is the world
    // camera's, pixel for pixel.
    for (const ListedMachine& m : dalvery.list()) {
        if (toured.count(m.line))
            continue;
        result.problem = select(dalvery, m);
        if (!result.problem.empty())
            return result;
        dalvery.press(B::World);
        const Image world = dalvery.viewShot();
        const std::string name = fileSafe(m);
        const auto numbered = [&](const std::string& what) {
            char number[16];
            std::snprintf(number, sizeof number, "%02zu-", result.pictures.size() + 1);
            return number + name + what;
        };
        dalvery.press(B::Machine);
        if (!save(numbered("-machine-camera"), m.name + "'s machine camera"))
            return result;
        dalvery.press(B::Driver);
        if (dalvery.viewShot() != world && !save(numbered("-driver-camera"), "from " + m.name + "'s driver's seat"))
            return result;
        dalvery.press(B::World);
    }
    return result;
}
