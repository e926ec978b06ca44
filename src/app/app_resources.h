#ifndef QORVSYNC_APP_APP_RESOURCES_H_
#define QORVSYNC_APP_APP_RESOURCES_H_

// Registers the pictures and the style sheets kept in this library (a static
// library's resources are not registered by themselves). Safe to repeat.
void InitAppResources();

#endif  // QORVSYNC_APP_APP_RESOURCES_H_
