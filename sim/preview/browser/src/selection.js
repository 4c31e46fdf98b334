// The part the author picked: outlined and lit in the view, and x-ray, which lets every other part
// be seen through, for parts inside a closed body. X-ray comes on by itself while a part picked
// from the table or a warning lies behind another. A click on a part picks its node.
import { Box3, Box3Helper, Color, Raycaster, Vector2, Vector3 } from 'three';
import { boxCorners } from './view.js';

const accent = new Color(0x4cc9f0);
const xrayOpacity = 0.18;

const materialsOf = (object) => {
  const materials = [];
  object.traverse((o) => {
    if (o.isMesh) materials.push(...[o.material].flat());
  });
  return materials;
};

export function createSelection(model, view) {
  const nodeOfObject = new Map(Array.from({ length: model.nodeCount }, (_, i) => [model.nodeObject(i), i]));
  // Each material as loaded: the page only ever changes it from there and back.
  const original = new Map(
    materialsOf(model.root).map((m) => [
      m,
      {
        emissive: m.emissive?.clone(),
        transparent: m.transparent,
        opacity: m.opacity,
        depthWrite: m.depthWrite,
      },
    ]),
  );

  const outline = new Box3Helper(new Box3(), accent);
  outline.visible = false;
  view.scene.add(outline);
  let selected = null; // the node's three.js object
  let xray = false; // turned on by the author
  let hiddenPick = false; // the part picked is hidden from the camera by another

  function paint() {
    const chosen = new Set(selected ? materialsOf(selected) : []);
    for (const [material, was] of original) {
      const through = (xray || hiddenPick) && !chosen.has(material);
      material.transparent = through || was.transparent;
      material.opacity = through ? xrayOpacity : was.opacity;
      material.depthWrite = !through && was.depthWrite;
      if (was.emissive)
        material.emissive.copy(chosen.has(material) ? accent.clone().multiplyScalar(0.45) : was.emissive);
      material.needsUpdate = true;
    }
    view.requestRender();
  }

  // The outline follows the part as the ride moves it.
  view.onRender(() => {
    if (selected) outline.box.setFromObject(selected);
    outline.visible = selected !== null && !outline.box.isEmpty();
  });

  const raycaster = new Raycaster();
  const firstShownHit = () =>
    raycaster.intersectObject(model.root, true).find(({ object }) => [object.material].flat().some((m) => m.visible));

  // Whether another part's shown mesh stands between the camera and every one of some points of
  // the object's box: its middle and, a little inside, its corners. One point on its own may lie
  // inside something the part is fixed to, as a lever's middle inside the handlebar.
  function hiddenFromCamera(object) {
    const box = new Box3().setFromObject(object);
    if (box.isEmpty()) return false;
    const middle = box.getCenter(new Vector3());
    const eye = view.camera.position;
    model.root.updateMatrixWorld();
    const covered = (point) => {
      raycaster.set(eye, point.clone().sub(eye).normalize());
      const hit = firstShownHit();
      if (!hit || hit.distance >= eye.distanceTo(point)) return false;
      for (let o = hit.object; o; o = o.parent) if (o === object) return false;
      return true;
    };
    return [middle, ...boxCorners(box).map((corner) => corner.lerp(middle, 0.1))].every(covered);
  }

  // The nodes under the pointer: the node of the first shown mesh hit, then those above it.
  function nodesAt(x, y) {
    const rect = view.canvas.getBoundingClientRect();
    const pointer = new Vector2(((x - rect.left) / rect.width) * 2 - 1, -((y - rect.top) / rect.height) * 2 + 1);
    raycaster.setFromCamera(pointer, view.camera);
    const hit = firstShownHit();
    const nodes = [];
    for (let o = hit?.object; o; o = o.parent) {
      if (nodeOfObject.has(o)) nodes.push(nodeOfObject.get(o));
    }
    return nodes;
  }

  return {
    // Selects node (-1: the scene's root, undefined: nothing), optionally framing it, and seen
    // through whatever hides it then.
    select(node, { frame = false } = {}) {
      selected = node === undefined ? null : (model.nodeObject(node) ?? null);
      if (frame && selected) view.frame(selected);
      hiddenPick = frame && selected !== null && hiddenFromCamera(selected);
      paint();
    },
    get selectedNode() {
      return selected ? (nodeOfObject.get(selected) ?? -1) : undefined;
    },
    get xray() {
      return xray || hiddenPick;
    },
    set xray(on) {
      xray = on;
      hiddenPick = false;
      paint();
    },
    // Calls pick(nodes), the node clicked and those above it, for a click that did not drag the
    // camera.
    onPick(pick) {
      let down = null;
      view.canvas.addEventListener('pointerdown', (event) => {
        down = [event.clientX, event.clientY];
      });
      view.canvas.addEventListener('pointerup', (event) => {
        if (!down || Math.hypot(event.clientX - down[0], event.clientY - down[1]) > 4) return;
        const nodes = nodesAt(event.clientX, event.clientY);
        if (nodes.length > 0) pick(nodes);
      });
    },
  };
}
