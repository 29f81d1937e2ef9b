#include "collision/response.h"

#include <cassert>

#include "car/car.h"
#include "collision/contact.h"

namespace torvane {

void resolveContact(Car& car, const Contact& contact)
{
    assert(contact.hit);
    car.setPosition(car.getPosition() + contact.correction * car.forward());

    const Vector3 velocity = car.getVelocity();
    car.setVelocity(kContactVelocityFactor * velocity.x, 0.0f, kContactVelocityFactor * velocity.z);

    const float speed = car.getSpeed();
    if (speed > kContactSpeedThreshold) {
        car.setSpeed(-speed / kContactSpeedDivisor);
    }
}

} // namespace torvane
