#pragma once

#include <GL/glew.h>
#include <glm/glm.hpp>

#include <cstdint>
#include <string>

class SpotLight;

// One linked program of a vertex and a fragment shader read from GLSL files, with the named
// uniform setters through which the renderer talks to the GPU.
class ShaderProgram {
public:
    ShaderProgram(const std::string& vertexPath, const std::string& fragmentPath);
    void destroy();
    void use(bool on) const;

    void setModel(const glm::mat4& matrix) const;
    void setNorm(const glm::mat4& matrix) const;
    void setView(const glm::mat4& matrix) const;
    void setProj(const glm::mat4& matrix) const;
    void setDepthBias() const;
    void setDepthVP(const glm::mat4& matrix, std::uint16_t index) const;
    void setShadowMap(std::uint32_t unit) const;
    void setSpotLight(const SpotLight* light, std::uint16_t index) const;

    GLuint getProgram() const { return program; }
    bool isLinked() const;

    // Maps a light's clip coordinates in [-1, 1] to shadow-map texture space [0, 1].
    static glm::mat4 depthBiasMatrix();

private:
    void setMatrix(const std::string& name, const glm::mat4& matrix) const;
    GLint location(const std::string& name) const;

    GLuint program = 0;
    GLuint vertexShader = 0;   // 0 when it did not compile
    GLuint fragmentShader = 0; // 0 when it did not compile
};

// Reads a whole text file; an unreadable file ends the process at once.
std::string readFile(const std::string& path);

extern ShaderProgram* defaultProgram;
extern ShaderProgram* shadowProgram;
extern ShaderProgram* debugProgram;
