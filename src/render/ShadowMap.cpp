#include "render/ShadowMap.h"

#include <iostream>

std::vector<ShadowMap*> shadowMaps;

ShadowMap::ShadowMap(std::uint16_t width, std::uint16_t height, std::uint16_t screenWidth,
                     std::uint16_t screenHeight)
    : width(width), height(height), screenWidth(screenWidth), screenHeight(screenHeight)
{
    glGenFramebuffers(1, &framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    // Only depth is rendered from the light; there is no colour to write or read.
    glDrawBuffer(GL_NONE);
    glReadBuffer(GL_NONE);

    glGenTextures(1, &depthTextureName);
    glBindTexture(GL_TEXTURE_2D, depthTextureName);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_DEPTH_COMPONENT24, width, height, 0, GL_DEPTH_COMPONENT, GL_FLOAT, nullptr);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    // The scene shader samples it as a shadow sampler: the lookup answers "lit or not".
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_COMPARE_MODE, GL_COMPARE_REF_TO_TEXTURE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_COMPARE_FUNC, GL_LEQUAL);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);

    glFramebufferTexture(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, depthTextureName, 0);
    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE)
        std::cerr << "ShadowMap: Framebuffer error" << std::endl;
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

void ShadowMap::bind() const
{
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glViewport(0, 0, width, height);
}

void ShadowMap::unbind() const
{
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glViewport(0, 0, screenWidth, screenHeight);
}

void ShadowMap::destroy()
{
    glDeleteFramebuffers(1, &framebuffer);
    glDeleteTextures(1, &depthTextureName);
    framebuffer = 0;
    depthTextureName = 0;
    forget();
}

bool ShadowMapContents::operator==(const ShadowMapContents& other) const
{
    return lightViewProjection == other.lightViewProjection && wireframe == other.wireframe
           && casters == other.casters;
}

bool ShadowMap::holds(const ShadowMapContents& contents) const
{
    return drawnContents.has_value() && *drawnContents == contents;
}

void ShadowMap::remember(ShadowMapContents contents)
{
    drawnContents = std::move(contents);
}

void ShadowMap::forget()
{
    drawnContents.reset();
}
