// Collision response: pushes the car out of a volume it has entered along its own
// forward axis by the correction the contact test found, cuts its horizontal
// velocity to a tenth (and its vertical velocity to 0), and turns a speed figure
// above 10 into a small negative one until the next physics step recomputes it.
// No angular effect, and no bound on the size of the push.
#pragma once

namespace torvane {

class Car;
struct Contact;

inline constexpr float kContactVelocityFactor = 0.1f;
// Units per second: a speed above this is reversed and divided by kContactSpeedDivisor.
inline constexpr float kContactSpeedThreshold = 10.0f;
inline constexpr float kContactSpeedDivisor = 10.0f;

// Applies the response to a car that detectContact has just found in contact.
void resolveContact(Car& car, const Contact& contact);

} // namespace torvane
