#include "camera/camera.h"

#include <cmath>

#include "car/car.h"
#include "math/float_math.h"
#include "math/forward_axis.h"
#include "render/graphics_device.h"

namespace torvane {

void Camera::update(GraphicsDevice& device, const Car& car)
{
    follow(mode, car);
    projection = matrixPerspectiveFovLH(fieldOfView, aspectRatio, nearPlane, farPlane);
    device.setTransform(TransformState::Projection, projection);
    view = matrixLookAtLH(eye, lookAt, up);
    device.setTransform(TransformState::View, view);
}

void Camera::follow(int cameraMode, const Car& car)
{
    const Vector3 p = car.getPosition();
    const float h = car.getHeading();
    switch (cameraMode) {
    case 0:
        lookAt = p;
        eye = {1.0f, 25.0f, 0.0f};
        break;
    case 1:
        lookAt = p;
        eye = p + Vector3{1.0f, 35.0f, 0.0f};
        break;
    case 2: { // 30 behind the car along its local +z (its rear), 10 above
        const Vector3 forward = forwardAxis(h);
        lookAt = p;
        eye = p + Vector3{-30.0f * forward.x, 10.0f, -30.0f * forward.z};
        break;
    }
    case 3:
        lookAt = {1.0f, 5.0f, 2.0f};
        eye = {1.0f, 95.0f, 1.0f};
        break;
    case 4:
        lookAt = p;
        eye = p + Vector3{1.0f, 55.0f + fabsf(car.getSpeed()), 0.0f};
        break;
    case 5: // 30 out along the car's local +x, 10 above
        lookAt = p;
        eye = p + Vector3{-30.0f * cosf(h + kPi), 10.0f, -30.0f * sinf(h)};
        break;
    case 6: // 30 out along the car's local -x, 10 above
        lookAt = p;
        eye = p + Vector3{-30.0f * cosf(h), 10.0f, -30.0f * sinf(h - kPi)};
        break;
    case 7: {
        // 40 behind the direction of travel. A car at rest (or with a velocity
        // too small or too large to normalise) has no such direction: the
        // camera stays where it was rather than feed NaN to the view.
        Vector3 direction = car.getVelocity();
        const float speed = length(direction);
        if (!(speed > 0.0f) || !std::isfinite(speed)) {
            break;
        }
        normalize(direction);
        lookAt = p + Vector3{0.0f, 7.0f, 0.0f};
        eye = p + Vector3{-40.0f * direction.x, 8.0f, -40.0f * direction.z};
        break;
    }
    default:
        break;
    }
}

} // namespace torvane
