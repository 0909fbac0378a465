// Placeholder until the drawing layer lands.
