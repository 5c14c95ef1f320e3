#version 330 core
broken
