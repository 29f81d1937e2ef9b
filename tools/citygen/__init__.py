"""Procedural content of the Torvane city: meshes, textures and level files."""
