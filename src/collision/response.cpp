#include "collision/response.h"

#include "car/car.h"
#include "math/float_math.h"

namespace torvane {

void resolveContact(Car& car)
{
    const float h = car.getHeading();
    const Vector3 forward(cosf(h + kHalfPi), 0.0f, sinf(h - kHalfPi));
    car.setPosition(car.getPosition() + car.getContactCorrection() * forward);

    const Vector3 velocity = car.getVelocity();
    car.setVelocity(kContactVelocityFactor * velocity.x, 0.0f, kContactVelocityFactor * velocity.z);

    const float speed = car.getSpeed();
    if (speed > kContactSpeedThreshold) {
        car.setSpeed(-speed / kContactSpeedDivisor);
    }
}

} // namespace torvane
