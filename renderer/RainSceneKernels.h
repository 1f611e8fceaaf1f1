// The scene's per-step and per-frame arithmetic, written once and compiled twice: the plain computation
// for the x86-64 baseline (SSE2) in RainScene.cpp, and for processors with AVX2 and FMA in
// RainSceneAvx2.cpp, which also trades divisions for multiplications by reciprocals. Each file gets its
// own private copy (unnamed namespace), built with its own instruction set.
#pragma once

#include <cmath>

#include "renderer/RainScene.h"

namespace velsora {
namespace {

// kReciprocal multiplies by the reciprocals of the rule's divisors instead of dividing, which differs by
// at most a rounding step per cell and step; wide divisions are slow enough to dominate the step.
template <bool kReciprocal>
inline void StepSurfaceKernel(RainScene& scene) {
  auto& H = scene.HeightGrid;
  auto& V = scene.VelocityGrid;
  // The first pass reads only heights and writes only velocities, so the cells' order does not matter.
  for (int i = kFirstMovingCell; i <= kLastMovingCell; ++i) {
    for (int j = kFirstMovingCell; j <= kLastMovingCell; ++j) {
      const float edge = H[i - 1][j] + H[i + 1][j] + H[i][j - 1] + H[i][j + 1];
      const float corner = H[i - 1][j - 1] + H[i + 1][j - 1] + H[i - 1][j + 1] + H[i + 1][j + 1];
      if constexpr (kReciprocal) {
        V[i][j] = V[i][j] + (H[i][j] - (4.0f * edge + corner) * (1.0f / 25.0f)) * (1.0f / 7.0f);
      } else {
        V[i][j] = V[i][j] + (H[i][j] - (4.0f * edge + corner) / 25.0f) / 7.0f;
      }
    }
  }
  const float damping = scene.Damping;
  for (int i = kFirstMovingCell; i <= kLastMovingCell; ++i) {
    for (int j = kFirstMovingCell; j <= kLastMovingCell; ++j) {
      H[i][j] = H[i][j] - V[i][j];
      V[i][j] = V[i][j] * damping;
    }
  }
}

// kReciprocal divides each normal by its length through one reciprocal and three multiplications,
// which differs from three divisions by at most a rounding step and costs a third as much.
template <bool kReciprocal>
inline void BuildSurfaceMeshKernel(RainScene& scene) {
  const auto& H = scene.HeightGrid;
  constexpr float kHalf = (kGridSize - 1) / 2.0f;  // 31.5
  constexpr float kSpan = 5.0f;
  constexpr float kCells = kGridSize - 1;  // 63
  constexpr int kLast = kGridSize - 1;

  // X and Z depend only on the cell; Y follows the height. The heights are scaled a whole row at a
  // time into a plain array so that the divisions vectorise, then spread into the vertex triples.
  float position[kGridSize];
  for (int k = 0; k < kGridSize; ++k) position[k] = (static_cast<float>(k) - kHalf) / kCells * kSpan;
  for (int i = 0; i < kGridSize; ++i) {
    float y[kGridSize];
    for (int j = 0; j < kGridSize; ++j) y[j] = H[i][j] / 1024.0f / kCells * 3.0f;
    for (int j = 0; j < kGridSize; ++j) {
      float* vertex = scene.SurfaceVertices[i][j];
      vertex[0] = position[i];
      vertex[1] = y[j];
      vertex[2] = position[j];
    }
  }

  // The outer ring points straight up.
  auto up = [](float* normal) {
    normal[0] = 0.0f;
    normal[1] = 1.0f;
    normal[2] = 0.0f;
  };
  for (int k = 0; k < kGridSize; ++k) {
    up(scene.SurfaceNormals[0][k]);
    up(scene.SurfaceNormals[kLast][k]);
    up(scene.SurfaceNormals[k][0]);
    up(scene.SurfaceNormals[k][kLast]);
  }

  // Inside, the normal follows the height differences across the cell, with a fixed downward part.
  // Each row is worked out in plain arrays first so that the square roots and divisions vectorise.
  constexpr int kInner = kGridSize - 2;
  for (int i = 1; i < kLast; ++i) {
    float nx[kInner], ny[kInner], nz[kInner];
    for (int j = 1; j < kLast; ++j) {
      const float dx = H[i + 1][j] - H[i - 1][j];
      const float dy = -2048.0f;
      const float dz = H[i][j + 1] - H[i][j - 1];
      const float length = std::sqrt(dx * dx + dy * dy + dz * dz);
      if constexpr (kReciprocal) {
        const float inverse = 1.0f / length;
        nx[j - 1] = dx * inverse;
        ny[j - 1] = dy * inverse;
        nz[j - 1] = dz * inverse;
      } else {
        nx[j - 1] = dx / length;
        ny[j - 1] = dy / length;
        nz[j - 1] = dz / length;
      }
    }
    for (int j = 1; j < kLast; ++j) {
      float* normal = scene.SurfaceNormals[i][j];
      normal[0] = nx[j - 1];
      normal[1] = ny[j - 1];
      normal[2] = nz[j - 1];
    }
  }
}

}  // namespace
}  // namespace velsora
