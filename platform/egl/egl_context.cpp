// Placeholder until the offscreen EGL backend lands.
