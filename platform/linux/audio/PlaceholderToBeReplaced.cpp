// Replaced when the audio engine lands.
