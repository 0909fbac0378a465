// Placeholder until the application event table lands.
