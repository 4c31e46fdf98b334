// Replays a vehicle's renders onto the model: frame rotations accumulate in the frame's own axes,
// render flags show and hide the frame's mesh.
import { Quaternion, Vector3 } from 'three';

const renderFlag = 0x04;

// Angles come as JSON numbers, or as "nan", "inf" and "-inf" where the float was not finite.
function angleValue(angle) {
  if (typeof angle === 'number') return angle;
  return { nan: NaN, inf: Infinity, '-inf': -Infinity }[angle] ?? NaN;
}

// `renders[k]` is what render k asked of the host: { tick, rotations: [[frame, axis, angle]],
// flags: [[frame, object, flags]] }. `frames[i].node` is the glTF node of frame i; `axes.x/y/z` the
// node-local directions of the frame axes.
export function createPoser(model, frames, axes, renders) {
  const directions = Object.fromEntries(['x', 'y', 'z'].map((a) => [a, new Vector3(...axes[a]).normalize()]));
  const nodeOf = (frame) => frames[frame]?.node;
  const known = (node) => Number.isInteger(node) && model.nodeObject(node) !== undefined;

  // A turn by a non-finite angle would leave the node without any pose: it is left out and counted.
  let nonFinite = 0;
  const rotated = new Set();
  const flagged = new Set();
  for (const render of renders) {
    for (const [frame, , angle] of render.rotations) {
      if (!Number.isFinite(angleValue(angle))) nonFinite++;
      if (known(nodeOf(frame))) rotated.add(nodeOf(frame));
    }
    for (const [frame, objectIndex] of render.flags) {
      // Object 0 is the node's mesh; a frame made for several root nodes has none.
      if (objectIndex === 0 && nodeOf(frame) >= 0 && known(nodeOf(frame))) flagged.add(nodeOf(frame));
    }
  }
  const initial = new Map([...rotated].map((node) => [node, model.nodeObject(node).quaternion.clone()]));

  const turn = new Quaternion();
  function apply(render) {
    for (const [frame, axis, angle] of render.rotations) {
      const degrees = angleValue(angle);
      if (!rotated.has(nodeOf(frame)) || !directions[axis] || !Number.isFinite(degrees)) continue;
      turn.setFromAxisAngle(directions[axis], (degrees * Math.PI) / 180);
      model.nodeObject(nodeOf(frame)).quaternion.multiply(turn);
    }
    for (const [frame, objectIndex, flag] of render.flags) {
      if (objectIndex === 0 && flagged.has(nodeOf(frame))) {
        model.setMeshVisible(nodeOf(frame), (flag & renderFlag) !== 0);
      }
    }
  }

  let shown = -1;
  return {
    nonFinite,
    get shown() {
      return shown;
    },
    // Shows the state after render k (-1: as modelled); going back replays from the start.
    seek(k) {
      const target = Math.max(-1, Math.min(renders.length - 1, Math.trunc(k)));
      if (target < shown) {
        for (const [node, quaternion] of initial) model.nodeObject(node).quaternion.copy(quaternion);
        for (const node of flagged) model.setMeshVisible(node, true);
        shown = -1;
      }
      while (shown < target) apply(renders[++shown]);
    },
  };
}
