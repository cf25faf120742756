#include "machines/FlatExcavator.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>
#include <cstddef>

#include "draw/Angles.h"
#include "draw/Lens.h"
#include "draw/Vec3.h"

namespace {

template <std::size_t N>
constexpr int coordCount(const double (&)[N])
{
    return int(N);
}

// Outline points, (x, y) pairs in the frame of the piece, counter-clockwise.
const double trackPoints[] = {8, 0, 9, 1, 9, 3, 8, 4, -8, 4, -9, 3, -9, 1, -8, 0};
const double bodyPoints[] = {8, 0, 9, 2, 8, 4, -7, 4, -7, 0};
const double cabPoints[] = {2, 4, 0, 8, -7, 8, -7, 4};
const double armRootPoints[] = {0, -1, 1, 1, 0, 2, -7, 6, -10, 6, -8, 4};
const double armPoints[] = {-8, 4, -10, 6, -24, 1, -25, 0, -24, -1};
const double forearmPoints[] = {0, -1, 1, 0, 0, 1, -14, 1, -15, 0, -14, -1};
const double bucketPoints[] = {1, 1, -3, -1, -3, -3, -1, -4, 3, -4};

// Site units. Each frame is its parent moved, then turned (see draw).
constexpr float trackOffset = 3;             // each track's mid-plane, ±z
constexpr float bodyLift = 5;                // upper body above the ground
constexpr float armRootX = -3, armRootY = 3; // arm root in the upper body
constexpr float armLength = 24;              // arm root to elbow
constexpr float forearmLength = 14;          // elbow to bucket joint
constexpr double trackHalfThickness = 2;
constexpr double bodyHalfThickness = 3;
constexpr double armHalfThickness = 1;
constexpr double bucketHalfThickness = 2;
// The load point lies this far from the bucket joint, 45 degrees below the
// bucket frame's -x axis: inside the bucket.
constexpr double loadRadius = 2;

// Cameras. The machine camera is placed relative to (X, 0, Z) only.
constexpr double machineEye[3] = {20, 28, 100};
constexpr double machineTarget[3] = {-10, 8, 0};
constexpr double machineFieldOfView = 60; // degrees; wider than the usual 40
constexpr double driverEyeAhead = 16.01; // in front of the turning axis
constexpr double driverEyeHeight = 16;   // above the ground

// The parameters by name: x and z in site units, the angles in degrees.
struct Pose {
    float x, z, orientation;
    float spin, arm, elbow, bucket;
};

Pose poseOf(const std::vector<float>& params)
{
    return {params[0], params[1], params[2], params[3], params[4], params[5], params[6]};
}

// World direction of the upper body's +x axis, level. The upper body turns
// by spin on tracks turned by Orientation, so only their sum matters; the
// arm reaches along -x.
Vec3 bodyXAxis(const Pose& pose)
{
    const double w = radians(pose.orientation + pose.spin);
    return {float(std::cos(w)), 0, float(-std::sin(w))};
}

} // namespace

const Outline FlatExcavator::trackOutline = {trackPoints, coordCount(trackPoints), {64, 64, 64}};
const Outline FlatExcavator::bodyOutline = {bodyPoints, coordCount(bodyPoints), {250, 250, 0}};
const Outline FlatExcavator::cabOutline = {cabPoints, coordCount(cabPoints), {250, 250, 0}};
const Outline FlatExcavator::armRootOutline = {armRootPoints, coordCount(armRootPoints), {255, 230, 0}};
const Outline FlatExcavator::armOutline = {armPoints, coordCount(armPoints), {255, 230, 0}};
const Outline FlatExcavator::forearmOutline = {forearmPoints, coordCount(forearmPoints), {250, 250, 0}};
const Outline FlatExcavator::bucketOutline = {bucketPoints, coordCount(bucketPoints), {255, 230, 0}};

FlatExcavator::FlatExcavator() : Machine(7, "Excavator")
{
    paramNames[3] = "spin";
    paramNames[4] = "arm";
    paramNames[5] = "elbow";
    paramNames[6] = "bucket";
    paramRanges[3] = {-180.0f, 180.0f};
    params[4] = -30;
    paramRanges[4] = {-90.0f, 0.0f}; // negative raises the arm; -90 is straight up
    params[5] = 60;
    paramRanges[5] = {0.0f, 180.0f}; // positive folds the forearm down
    paramRanges[6] = {-180.0f, 45.0f};
}

void FlatExcavator::draw()
{
    const Pose pose = poseOf(params);
    glPushMatrix();
        glTranslatef(pose.x, 0, pose.z);
        glRotatef(pose.orientation, 0, 1, 0);
        for (float side : {trackOffset, -trackOffset}) {
            glPushMatrix();
                glTranslatef(0, 0, side);
                drawExtrudedOutline(trackOutline, trackHalfThickness);
            glPopMatrix();
        }

        // From here each frame nests in the one before until the final pop.
        glTranslatef(0, bodyLift, 0);
        glRotatef(pose.spin, 0, 1, 0);
        drawExtrudedOutline(bodyOutline, bodyHalfThickness);
        drawExtrudedOutline(cabOutline, bodyHalfThickness);

        // The arm, elbow and bucket joints turn about z, in the upper body's
        // side plane; a positive angle tips -x (the reach) downwards.
        glTranslatef(armRootX, armRootY, 0);
        glRotatef(pose.arm, 0, 0, 1);
        drawExtrudedOutline(armRootOutline, armHalfThickness);
        drawExtrudedOutline(armOutline, armHalfThickness);

        glTranslatef(-armLength, 0, 0);
        glRotatef(pose.elbow, 0, 0, 1);
        drawExtrudedOutline(forearmOutline, armHalfThickness);

        glTranslatef(-forearmLength, 0, 0);
        glRotatef(pose.bucket, 0, 0, 1);
        drawExtrudedOutline(bucketOutline, bucketHalfThickness);
    glPopMatrix();
}

bool FlatExcavator::getLoadPoint(float& x, float& y, float& z)
{
    const Pose pose = poseOf(params);
    // A link of length L along -x of a frame turned by φ (the sum of the
    // joint angles above it) ends (-L cos φ, -L sin φ) from its joint.
    const double arm = radians(pose.arm);
    const double forearm = arm + radians(pose.elbow);
    const double load = forearm + radians(pose.bucket) + pi / 4;
    const double reach = armRootX - armLength * std::cos(arm) - forearmLength * std::cos(forearm) -
                         loadRadius * std::cos(load);
    const double height = bodyLift + armRootY - armLength * std::sin(arm) -
                          forearmLength * std::sin(forearm) - loadRadius * std::sin(load);
    const Vec3 axis = bodyXAxis(pose);
    x = float(pose.x + reach * axis.x);
    y = float(height);
    z = float(pose.z + reach * axis.z);
    return true;
}

void FlatExcavator::setMachineView(float aspect)
{
    const Pose pose = poseOf(params);
    loadPerspective(machineFieldOfView, aspect);
    gluLookAt(pose.x + machineEye[0], machineEye[1], pose.z + machineEye[2],
              pose.x + machineTarget[0], machineTarget[1], pose.z + machineTarget[2],
              0, 1, 0);
}

bool FlatExcavator::setDriverView(float aspect)
{
    const Pose pose = poseOf(params);
    const Vec3 axis = bodyXAxis(pose);
    // Forward is -x of the upper body; the eye looks level, one more eye
    // distance ahead.
    const double eyeX = pose.x - driverEyeAhead * axis.x;
    const double eyeZ = pose.z - driverEyeAhead * axis.z;
    loadPerspective(cameraFieldOfView, aspect);
    gluLookAt(eyeX, driverEyeHeight, eyeZ,
              eyeX - driverEyeAhead * axis.x, driverEyeHeight, eyeZ - driverEyeAhead * axis.z,
              0, 1, 0);
    return true;
}
