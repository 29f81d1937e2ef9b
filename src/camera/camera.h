// Camera: the chase camera. Once a frame it places itself relative to the car
// in one of eight modes (fixed, overhead, trailing, side and chase views),
// builds a left-handed perspective projection and a look-at view, and sets both
// on the device.
//
// Shortcomings: the projection parameters are fixed; an out-of-range mode and
// mode 7 with the car at rest freeze the camera where it was; mode 0 looks
// straight down when the car passes exactly under its eye, which the view
// matrix cannot express.
//
// Units: world units, radians.
#pragma once

#include "math/float_math.h"
#include "math/matrix4.h"
#include "math/vector3.h"

namespace torvane {

class Car;
class GraphicsDevice;

class Camera {
public:
    Camera() = default;

    // Places the camera for the current mode, then sets the projection and the
    // view transforms on device, in that order.
    void update(GraphicsDevice& device, const Car& car);
    // Sets lookAt, then eye, from the car for cameraMode; other modes change nothing.
    void follow(int cameraMode, const Car& car);

    void setEye(float x, float y, float z) { eye = {x, y, z}; }
    Vector3 getEye() const { return eye; }
    void setLookAt(float x, float y, float z) { lookAt = {x, y, z}; }
    Vector3 getLookAt() const { return lookAt; }
    int getMode() const { return mode; }
    // Any value is stored; modes outside 0..lastMode freeze the camera.
    void setMode(int value) { mode = value; }
    int getLastMode() const { return lastMode; }

    // The matrices of the last update; all zero before the first.
    const Matrix4& getProjection() const { return projection; }
    const Matrix4& getView() const { return view; }

private:
    Vector3 eye{0.0f, 0.0f, 0.0f};
    Vector3 lookAt{0.0f, 0.0f, 0.1f};
    Vector3 up{0.0f, 0.1f, 0.0f}; // only its direction matters
    float nearPlane = 1.0f;
    float farPlane = 500.0f;
    float aspectRatio = 1.3f;           // width over height
    float fieldOfView = kPi / 4.0f;     // vertical, radians
    Matrix4 projection;
    Matrix4 view;
    int mode = 0;
    int lastMode = 7;
};

} // namespace torvane
